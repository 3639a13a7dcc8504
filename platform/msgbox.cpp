#include "platform/msgbox.h"

#include <QApplication>
#include <QMessageBox>

#include <utility>

namespace {

msgbox::Handler& currentHandler() {
    static msgbox::Handler handler;
    return handler;
}

int showReal(const QString& prompt, int style, const QString& title) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(QString(prompt).replace("\r\n", "\n"));
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

}  // namespace

msgbox::Handler msgbox::setHandler(Handler handler) {
    return std::exchange(currentHandler(), std::move(handler));
}

int MsgBox(const QString& prompt, int style, const QString& title) {
    if (const auto& handler = currentHandler()) return handler(prompt, style, title);
    return showReal(prompt, style, title);
}
