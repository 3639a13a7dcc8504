#pragma once

#include "game/seams.h"

#include <QString>

#include <functional>
#include <memory>

class QDialog;
class QWidget;

namespace qt_front {

// A window that draws itself from the state of the rules. Whenever the rules may have changed
// something (after an event, before a box or a modal window shows), every live one is synced.
class Synced {
  public:
    Synced();
    virtual ~Synced();
    Synced(const Synced&) = delete;
    Synced& operator=(const Synced&) = delete;
    virtual void sync() = 0;
};
void syncAll();

// Runs an event's handler in the rules, then brings every window up to date.
template <typename Handler>
void forward(Handler&& handler) {
    handler();
    syncAll();
}

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
