#pragma once

#include <functional>
#include <string>

// The few desktop services the rules call on: message boxes, modal windows and opening an
// address. Each front-end installs its real implementation at start-up; tests install one that
// answers from a script, so no test ever waits on a dialog. Texts are UTF-8.

namespace msgbox {

enum Style : int {
    kOkOnly = 0,
    kYesNo = 4,
    kCritical = 16,
    kQuestion = 32,
    kInformation = 64,
    kDefaultButton2 = 256,
};

enum Result : int { kOk = 1, kYes = 6, kNo = 7 };

using Handler = std::function<int(const std::string& prompt, int style, const std::string& title)>;

// Installs the box; returns the previous one. Without one, OK boxes answer OK and questions No.
Handler setHandler(Handler handler);

}  // namespace msgbox

// Shows the box and returns the button pressed (msgbox::Result).
int MsgBox(const std::string& prompt, int style, const std::string& title);

// A window the main window opens modally (options, solver). The front-end shows it, draws what
// its state says and closes it when the rules unload it.
class ModalWindow {
  public:
    virtual ~ModalWindow() = default;

    // Closes the window, as its OK button or a choice does.
    void Unload() {
        if (onUnload) onUnload();
    }

    // Set by whoever shows the window, for as long as it is shown.
    std::function<void()> onUnload;
};

namespace modal {
using Handler = std::function<void(ModalWindow& window)>;
// Installs how modal windows are shown; returns the previous one. Without one, nothing shows.
Handler setHandler(Handler handler);
}  // namespace modal

// Shows the window modally and returns when it has closed.
void ShowModal(ModalWindow& window);

namespace shell {
using Handler = std::function<void(const std::string& address)>;
// Installs the desktop's default handler; returns the previous one.
Handler setHandler(Handler handler);
}  // namespace shell

// Opens an address (web page, mail link) with the desktop's default handler. The result is not
// reported: the game never depends on it.
void OpenAddress(const std::string& address);
