#include "frontend/qt/qt_seams.h"

#include "frontend/qt/form1_window.h"
#include "frontend/qt/frm_auto_best_window.h"
#include "frontend/qt/frm_option_window.h"
#include "game/form1.h"
#include "settings/frm_option.h"
#include "solver/frm_auto_best.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QMessageBox>
#include <QUrl>

namespace qt_front {

std::unique_ptr<QDialog> dialogFor(ModalWindow& window) {
    if (auto* options = dynamic_cast<FrmOption*>(&window)) {
        return std::make_unique<FrmOptionWindow>(
            *options, dynamic_cast<Form1Window&>(options->main().host()));
    }
    if (auto* solver = dynamic_cast<frmAutoBest*>(&window)) {
        return std::make_unique<FrmAutoBestWindow>(
            *solver, dynamic_cast<Form1Window&>(solver->main().host()));
    }
    return nullptr;
}

int showMessageBox(const std::string& prompt, int style, const std::string& title) {
    QMessageBox box(QApplication::activeWindow());
    // Qt puts the application's name in an empty title bar; a blank keeps it empty to the eye.
    box.setWindowTitle(title.empty() ? QStringLiteral(" ") : qs(title));
    box.setText(qs(prompt).replace("\r\n", "\n"));
    switch (style & 0x70) {
        case msgbox::kCritical:
            box.setIcon(QMessageBox::Critical);
            break;
        case msgbox::kQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case 48:
            box.setIcon(QMessageBox::Warning);
            break;
        case msgbox::kInformation:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
            break;
    }
    if ((style & 0x0F) == msgbox::kYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton((style & msgbox::kDefaultButton2) ? QMessageBox::No
                                                               : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? msgbox::kYes : msgbox::kNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return msgbox::kOk;
}

void installSeams() {
    msgbox::setHandler([](const std::string& prompt, int style, const std::string& title) {
        syncViews();  // what the rules did before the box is on screen under it
        return showMessageBox(prompt, style, title);
    });
    modal::setHandler([](ModalWindow& window) {
        syncViews();
        if (const auto dialog = dialogFor(window)) dialog->exec();
    });
    shell::setHandler(
        [](const std::string& address) { QDesktopServices::openUrl(QUrl(qs(address))); });
    InstallStoreErrorBox();
}

}  // namespace qt_front
