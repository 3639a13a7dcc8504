#include "frontend/win32/modal_frame.h"

#include <algorithm>

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

ModalFrame::ModalFrame(ModalWindow& core, Form1Window& main, int clientWidth, int clientHeight)
    : main_(main),
      owner_(main.hwnd()),
      core_(core),
      clientWidth_(clientWidth),
      clientHeight_(clientHeight) {
    core_.onUnload = [this] { closed_ = true; };
}

ModalFrame::~ModalFrame() {
    core_.onUnload = nullptr;
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void ModalFrame::create() {
    const wchar_t* cls = win32_front::registerClass(L"TessleModal", proc,
                                                    reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    hwnd_ = CreateWindowExW(kExStyle, cls, L"", kStyle, 0, 0, 100, 100, owner_, nullptr,
                            GetModuleHandleW(nullptr), this);
    // The window opens on its owner's screen, at that screen's DPI.
    dpi_ = win32_front::dpiOf(owner_ ? owner_ : hwnd_);
}

void ModalFrame::resize(int dpi) {
    dpi_ = dpi;
    RECT outer{0, 0, win32_front::toPx(clientWidth_, dpi), win32_front::toPx(clientHeight_, dpi)};
    win32_front::adjustWindowRect(outer, kStyle, FALSE, kExStyle, dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layout(dpi);
}

// Centred over the main window, frame included, but kept inside the work area of the monitor
// the main window is on: the solver window is about twice as wide as the main window.
void ModalFrame::centre() {
    RECT mine, over;
    GetWindowRect(hwnd_, &mine);
    if (!owner_ || !GetWindowRect(owner_, &over)) return;
    const int w = mine.right - mine.left;
    const int h = mine.bottom - mine.top;
    int x = (over.left + over.right - w) / 2;
    int y = (over.top + over.bottom - h) / 2;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - w));
        y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - h));
    }
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModalFrame::enable(HWND control, bool enabled) {
    if (!enabled && GetFocus() == control) {
        HWND next = GetNextDlgTabItem(hwnd_, control, FALSE);
        focusOn(next && next != control ? next : hwnd_);
    }
    EnableWindow(control, enabled);
}

bool ModalFrame::isPushButton(HWND control) {
    return (SendMessageW(control, WM_GETDLGCODE, 0, 0) &
            (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

namespace {

// A callback of the system's own calling convention (stdcall on 32-bit Windows), which a lambda
// cannot be.
BOOL CALLBACK markDefault(HWND child, LPARAM focused) {
    if (SendMessageW(child, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
        const bool isDefault = child == reinterpret_cast<HWND>(focused);
        SendMessageW(child, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
    return TRUE;
}

}  // namespace

// The focused button is the default one, so Enter presses it, as in a dialog.
void ModalFrame::focusOn(HWND control) {
    SetFocus(control);
    EnumChildWindows(hwnd_, markDefault, reinterpret_cast<LPARAM>(control));
}

void ModalFrame::runModal() {
    centre();
    win32_front::runModal(hwnd_, owner_, [this] { return closed_; });
}

LRESULT CALLBACK ModalFrame::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ModalFrame* self = win32_front::objectOf<ModalFrame>(window, message, lParam);
    if (self && message == WM_NCCREATE) self->hwnd_ = window;
    if (self && self->hwnd_ == window) return self->handle(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT ModalFrame::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            // The close box: the window goes, nothing else happens.
            closed_ = true;
            return 0;
        case WM_COMMAND:
            // Escape, as in any dialog: the same as the close box.
            if (LOWORD(wParam) == IDCANCEL) {
                closed_ = true;
                return 0;
            }
            break;
        case WM_ACTIVATE:
            // As in a dialog: the focus starts on the first button (the frame itself when it
            // has none), and when a box that opened over the window goes, it comes back to the
            // control that had it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND had = GetFocus();
                if (had && IsChild(hwnd_, had)) focus_ = had;
            } else if (!HIWORD(wParam)) {
                HWND to = focus_ ? focus_ : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
                const bool usable =
                    to && IsWindow(to) && IsWindowVisible(to) && IsWindowEnabled(to);
                focusOn(usable ? to : hwnd_);
            }
            return 0;
        case WM_NEXTDLGCTL: {
            // Tab and Shift+Tab, as the dialog manager asks for them.
            HWND to = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                     : GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0);
            if (to) focusOn(to);
            return 0;
        }
        case DM_GETDEFID: {
            HWND focused = GetFocus();
            if (focused && IsChild(hwnd_, focused) && isPushButton(focused))
                return MAKELRESULT(GetDlgCtrlID(focused), DC_HASDEFID);
            return 0;
        }
        case WM_DPICHANGED: {
            resize(HIWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            InvalidateRect(hwnd_, nullptr, TRUE);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}
