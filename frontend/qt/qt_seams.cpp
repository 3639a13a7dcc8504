#include "frontend/qt/qt_seams.h"

#include "game/frontend.h"

#include <QApplication>
#include <QMessageBox>

namespace qt_front {

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

}  // namespace qt_front
