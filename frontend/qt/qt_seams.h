#pragma once

#include "game/seams.h"
#include "game/views.h"

#include <QString>

#include <functional>
#include <memory>

class QDialog;
class QWidget;

namespace qt_front {

// The Qt dialog that shows a modal window of the rules (options or solver), parented to the
// main window that opened it.
std::unique_ptr<QDialog> dialogFor(ModalWindow& window);

// The real message box for the classic style codes.
int showMessageBox(const std::string& prompt, int style, const std::string& title);

// Installs the real message box, modal windows and desktop addresses, and the store's error box.
void installSeams();

inline QString qs(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
}

}  // namespace qt_front
