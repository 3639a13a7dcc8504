#include "frontend/qt/form1_window.h"
#include "frontend/qt/qt_seams.h"
#include "frontend/qt/session_end.h"
#include "game/app_info.h"
#include "settings/game_group.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    // Before anything reads the environment or loads a plugin.
    store::dropGameGroup();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kAppKey));

    // Standard buttons read 确定 / 是 / 否 like the rest of the interface.
    QTranslator qtBase;
    if (qtBase.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtBase);
    }

    Form1Window window;
    const SessionEnd sessionEnd([&window] { window.endSession(); });
    window.show();
    return QApplication::exec();
}
