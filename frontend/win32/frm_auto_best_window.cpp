#include "frontend/win32/frm_auto_best_window.h"

#include "frontend/win32/form1_window.h"
#include "solver/frm_auto_best.h"

namespace {

using namespace frm_auto_best_layout;
using win32_front::wide;

HWND button(HWND parent, const char* caption, int id) {
    return CreateWindowExW(0, L"BUTTON", wide(caption).c_str(),
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

FrmAutoBestWindow::FrmAutoBestWindow(frmAutoBest& core, Form1Window& main)
    : ModalFrame(core, main, kClientWidth, kClientHeight), core_(core) {
    create();
    // The page cuts the picture as the game cuts the 3 x 3 board.
    WebBrowser1 = std::make_unique<PageView>(
        hwnd_,
        [this, &main](const maker_site::Page& page, int dpi) -> const Picture& {
            return main.ImageList1().ListImage(core_.pagePicture(page), dpi);
        },
        main.TileInnerWidth(board::kGame33));
    CmdDo = button(hwnd_, kCmdDoCaption, kCmdDoId);
    txtResult = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_READONLY, 0, 0, 0, 0,
                                hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
    CmdPrior = button(hwnd_, kCmdPriorCaption, kCmdPriorId);
    CmdNext = button(hwnd_, kCmdNextCaption, kCmdNextId);
    resize(dpi_);
    sync();
}

FrmAutoBestWindow::~FrmAutoBestWindow() = default;

void FrmAutoBestWindow::layout(int dpi) {
    WebBrowser1->place(win32_front::toRect(kWebBrowser1, dpi), dpi);
    win32_front::put(CmdDo, kCmdDo, dpi);
    win32_front::put(txtResult, kTxtResult, dpi);
    win32_front::put(CmdPrior, kCmdPrior, dpi);
    win32_front::put(CmdNext, kCmdNext, dpi);
}

void FrmAutoBestWindow::sync() {
    if (!hwnd_ || closed()) return;
    SetWindowTextW(hwnd_, wide(core_.Caption).c_str());
    if (WebBrowser1->LocationURL() != core_.WebBrowser1.LocationURL)
        WebBrowser1->Navigate(core_.WebBrowser1.LocationURL);
    // Set only when it changed: setting it again would lose the player's selection.
    if (win32_front::textOf(txtResult) != core_.txtResult)
        SetWindowTextW(txtResult, wide(core_.txtResult).c_str());
    // Enabled first, so that a button losing the focus can hand it to one enabled now.
    for (const bool enabled : {true, false}) {
        if (core_.CmdDo.Enabled == enabled) enable(CmdDo, enabled);
        if (core_.CmdPrior.Enabled == enabled) enable(CmdPrior, enabled);
        if (core_.CmdNext.Enabled == enabled) enable(CmdNext, enabled);
    }
}

LRESULT FrmAutoBestWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
            case kCmdDoId:
                forward([this] { core_.CmdDo_Click(); });
                return 0;
            case kCmdPriorId:
                forward([this] { core_.CmdPrior_Click(); });
                return 0;
            case kCmdNextId:
                forward([this] { core_.CmdNext_Click(); });
                return 0;
            default:
                break;
        }
    }
    return ModalFrame::handle(message, wParam, lParam);
}
