#pragma once

#include "lcd/cls_lcd.h"
#include "solver/optimal_solver.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

class FrmOption;
class frmAutoBest;

// The message box's classic style codes and answers.
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

}  // namespace msgbox

// Everything the rules ask of the toolkit that shows them: the one contract between the core
// and a front-end. A front-end implements all of it in one object, made once at start-up and
// handed to the main window's rules (Form1); the other windows' rules reach it through Form1.
// Every member is pure, so a front-end that leaves one out, a modal window kind among them,
// does not compile. Texts are UTF-8.
class Frontend {
  public:
    virtual ~Frontend() = default;

    // ---- Desktop services ----
    // Shows a modal message box with the classic style codes (msgbox::Style) and returns the
    // button pressed (msgbox::Result).
    virtual int MsgBox(const std::string& prompt, int style, const std::string& title) = 0;
    // Shows a window of the rules modally and returns once it has closed: when its rules unload
    // it (ModalWindow::Unload) or the player closes it. One for each window kind.
    virtual void ShowModal(FrmOption& window) = 0;
    virtual void ShowModal(frmAutoBest& window) = 0;
    // Opens an address (web page, mail link) with the desktop's default handler.
    virtual void OpenAddress(const std::string& address) = 0;
    // Reports a failure where nobody has to answer it (standard error, the debugger's output):
    // at the end of the session no box may hold the shutdown up.
    virtual void LogError(const std::string& text) = 0;
    // Brings every window on screen up to date with the rules' state. The rules call it before
    // a box or a modal window shows, so that what they did before is on screen under it; the
    // front-end calls it after each event it forwards.
    virtual void Refresh() = 0;

    // Runs an event's handler in the rules, then brings every window up to date: the path every
    // event of every front-end takes.
    template <typename Handler>
    void forward(Handler&& handler) {
        handler();
        Refresh();
    }

    // ---- The main window ----
    // The drawing surfaces of the move display and the clock.
    virtual DrawingSurface& PicStep() = 0;
    virtual DrawingSurface& PicTime() = 0;
    // Inner drawable size of the tile surfaces of a board, in 96-dpi pixels.
    virtual int TileInnerWidth(int gameType) = 0;
    virtual int TileInnerHeight(int gameType) = 0;
    // Starts or stops the 1000 ms clock.
    virtual void EnableTimer1(bool enabled) = 0;
    // Whether the main window is the foreground window of the desktop.
    virtual bool IsForeground() = 0;
    // Closes the main window, after the event that asked has been handled; closing it runs
    // Form_Unload.
    virtual void Unload() = 0;

    // ---- Off the drawing thread ----
    // Finds a shortest solution of `position` without holding any window up (a worker thread, a
    // web worker), then runs `found` with the answer on the drawing thread, through forward.
    // Once `cancel` reads true the search may end early: `found` then gets kCancelled, a stale
    // answer or nothing at all, and the rules drop whatever comes.
    virtual void SearchHint(const optimal::Position& position,
                            std::shared_ptr<std::atomic<bool>> cancel,
                            std::function<void(const optimal::Answer&)> found) = 0;
    // Builds what the 4 x 4 searches need (optimal::prepare, seconds of work) off the drawing
    // thread, so that the first hint on that board comes as fast as the others.
    virtual void PrepareHints() = 0;
};

// A front-end's window, drawn from the state of its rules.
class View {
  public:
    virtual ~View() = default;
    virtual void sync() = 0;
};

// The part of the contract every toolkit carries out the same way, for a front-end whose main
// window `Window` implements the rest. For each kind of modal window, Window names the toolkit's
// window that shows it (Window::OptionsWindow, Window::SolverWindow: each a View, made from the
// rules and the main window) and runs it until it closes (Window::runDialog); a front-end that
// names none for a kind does not compile. While one is open, Refresh draws it with the main
// window (Window::sync).
template <typename Window>
class ToolkitFrontend : public Frontend {
  public:
    void ShowModal(FrmOption& rules) final;
    void ShowModal(frmAutoBest& rules) final;
    void Refresh() final;

  private:
    template <typename Dialog, typename Rules>
    void showModalWindow(Rules& rules);
    Window& self() { return static_cast<Window&>(*this); }

    View* shown_ = nullptr;
};

// Not inline, so that a front-end can make them once, where its windows' classes are known
// (extern template class ToolkitFrontend<...> everywhere else).
template <typename Window>
void ToolkitFrontend<Window>::ShowModal(FrmOption& rules) {
    showModalWindow<typename Window::OptionsWindow>(rules);
}

template <typename Window>
void ToolkitFrontend<Window>::ShowModal(frmAutoBest& rules) {
    showModalWindow<typename Window::SolverWindow>(rules);
}

template <typename Window>
void ToolkitFrontend<Window>::Refresh() {
    self().sync();
    if (shown_) shown_->sync();
}

template <typename Window>
template <typename Dialog, typename Rules>
void ToolkitFrontend<Window>::showModalWindow(Rules& rules) {
    Dialog dialog(rules, self());
    shown_ = &dialog;
    self().runDialog(dialog);
    shown_ = nullptr;
}
