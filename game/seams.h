#pragma once

#include "game/frontend.h"

#include <functional>
#include <string>

// The rules' side of the contract: what a window's handlers call on the front-end for, under
// the names a handler reads best with.
class WindowRules {
  protected:
    explicit WindowRules(Frontend& frontend) : frontend_(frontend) {}

    // Shows the box over windows that are up to date and returns the button pressed.
    int MsgBox(const std::string& prompt, int style, const std::string& title) {
        frontend_.Refresh();
        const Waiting waiting(waiting_);
        return frontend_.MsgBox(prompt, style, title);
    }
    // Shows a window modally over windows that are up to date; returns when it has closed.
    template <typename Window>
    void ShowModal(Window& window) {
        frontend_.Refresh();
        const Waiting waiting(waiting_);
        frontend_.ShowModal(window);
    }
    // Whether a box or modal window this window opened is still open.
    bool waitingOnPlayer() const { return waiting_ > 0; }
    // The result is not reported: the game never depends on it.
    void OpenAddress(const std::string& address) { frontend_.OpenAddress(address); }

    Frontend& frontend_;

  private:
    struct Waiting {
        explicit Waiting(int& count) : count_(count) { ++count_; }
        ~Waiting() { --count_; }
        int& count_;
    };
    int waiting_ = 0;
};

// A window the main window opens modally (options, solver). The front-end shows it, draws what
// its state says and closes it when the rules unload it.
class ModalWindow : protected WindowRules {
  public:
    virtual ~ModalWindow() = default;

    // Closes the window, as its OK button or a choice does.
    void Unload() {
        if (onUnload) onUnload();
    }

    // Set by whoever shows the window, for as long as it is shown.
    std::function<void()> onUnload;

  protected:
    using WindowRules::WindowRules;
};
