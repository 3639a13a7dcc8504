#pragma once

#include "frontend/win32/modal_frame.h"
#include "frontend/win32/page_view.h"

#include <memory>

class Form1Window;
class frmAutoBest;

// The solver window on Win32, drawn from frmAutoBest's state; its page view paints the page for
// the address the rules point it at.
class FrmAutoBestWindow : public ModalFrame {
  public:
    static constexpr int kCmdDoId = 101;
    static constexpr int kCmdPriorId = 102;
    static constexpr int kCmdNextId = 103;

    FrmAutoBestWindow(frmAutoBest& core, Form1Window& main);
    ~FrmAutoBestWindow() override;

    frmAutoBest& core() { return core_; }
    void sync() override;

    std::unique_ptr<PageView> WebBrowser1;
    HWND CmdDo = nullptr;
    HWND txtResult = nullptr;
    HWND CmdPrior = nullptr;
    HWND CmdNext = nullptr;

  protected:
    void layout(int dpi) override;
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    frmAutoBest& core_;
};
