#pragma once

#include <functional>

class QDialog;

// Every modal window is opened through here, so tests can drive the window as a player would
// and close it, instead of blocking in exec().
void ShowModal(QDialog& window);

namespace modal {
using Handler = std::function<void(QDialog& window)>;
// Replaces exec() (tests); an empty handler restores it. Returns the previous one.
Handler setHandler(Handler handler);
}  // namespace modal
