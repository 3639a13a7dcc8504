#pragma once

#include "frontend/win32/form1_window.h"
#include "frontend/win32/win32_front.h"
#include "game/seams.h"

#include <windows.h>

// What the options and solver windows share: a fixed frame with a close box and no minimize or
// maximize button, a client area laid out in twips, centred over the main window, shown modally
// until the rules unload the window or its close box is used.
class ModalFrame : public View {
  public:
    ~ModalFrame() override;

    HWND hwnd() const { return hwnd_; }
    int dpi() const { return dpi_; }
    // The rules unloaded the window, or its close box was used.
    bool closed() const { return closed_; }

    // Shows the window over its owner and returns when it has closed.
    void runModal();

  protected:
    ModalFrame(ModalWindow& core, Form1Window& main, int clientWidth, int clientHeight);

    // Runs an event's handler in the rules, then brings every window up to date.
    template <typename Handler>
    void forward(Handler&& handler) {
        main_.forward(std::forward<Handler>(handler));
    }

    // Creates the window; the controls are made by the caller, then placed by layout().
    void create();
    // Sizes the window for its client area in twips at a DPI and places the controls.
    void resize(int dpi);
    // Enables or disables a control; a control that loses the focus this way hands it on to the
    // next one that can take it, as in a dialog.
    void enable(HWND control, bool enabled);
    // Gives a control the focus, as the dialog manager would.
    void focusOn(HWND control);
    virtual void layout(int dpi) = 0;
    virtual LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    Form1Window& main_;
    HWND owner_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;

  private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool isPushButton(HWND control);
    void centre();

    ModalWindow& core_;
    int clientWidth_;
    int clientHeight_;
    bool closed_ = false;
    // The control that had the focus when the window was last deactivated (a box opened over it).
    HWND focus_ = nullptr;
};
