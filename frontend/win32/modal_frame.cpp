#include "frontend/win32/modal_frame.h"

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
    AdjustWindowRectExForDpi(&outer, kStyle, FALSE, kExStyle, static_cast<UINT>(dpi));
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layout(dpi);
}

// Centred over the main window, frame included.
void ModalFrame::centre() {
    RECT mine, over;
    GetWindowRect(hwnd_, &mine);
    if (!owner_ || !GetWindowRect(owner_, &over)) return;
    const int w = mine.right - mine.left;
    const int h = mine.bottom - mine.top;
    SetWindowPos(hwnd_, nullptr, (over.left + over.right - w) / 2, (over.top + over.bottom - h) / 2,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
        case WM_DPICHANGED: {
            resize(HIWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            InvalidateRect(hwnd_, nullptr, TRUE);
            return 0;
        }
        default:
            return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}
