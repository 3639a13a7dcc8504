#include "game/app_info.h"
#include "game/form1.h"
#include "platform/msgbox.h"
#include "settings/settings_store.h"

#ifndef _WIN32
#include "settings/game_group.h"
#endif

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
#ifndef _WIN32
    store::dropGameGroup();
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kAppKey));

    // Standard buttons read 确定 / 是 / 否 like the rest of the interface.
    QTranslator qtBase;
    if (qtBase.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtBase);
    }

    store::setErrorHandler(
        [] { MsgBox(QStringLiteral("存储失败！"), msgbox::kCritical, QStringLiteral("错误：")); });

    Form1 window;
    window.show();
    return QApplication::exec();
}
