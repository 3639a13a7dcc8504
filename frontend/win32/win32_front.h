#pragma once

#include "game/form1.h"

#include <windows.h>

#include <functional>
#include <string>

// What the Win32 windows share: text conversion, the one twips-to-pixels rule, fonts, the real
// message box and the modal loop.
namespace win32_front {

// The rules speak UTF-8; Windows speaks UTF-16.
std::wstring wide(const std::string& utf8);
std::string utf8(const std::wstring& text);
// A window's text, in UTF-8.
std::string textOf(HWND window);
// Gives a control of `owner` a tooltip.
void addTooltip(HWND owner, HWND control, const std::string& text);

// Twips are 1/1440 inch: at the window's DPI, px = twips x dpi / 1440, rounded.
inline int toPx(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}
RECT toRect(const TwipsRect& r, int dpi);
// Places a control where its twips say at a DPI, in the dialog font of that DPI.
void put(HWND control, const TwipsRect& at, int dpi);
// 96-dpi pixels scaled to the window's DPI.
inline int scale(int px96, int dpi) {
    return MulDiv(px96, dpi, 96);
}

// The DPI of the monitor a window is on; the system DPI before Windows 10, which has no
// per-window DPI.
int dpiOf(HWND window);
// The DPI Windows gave the desktop at logon (96 where it cannot say).
int systemDpi();
// The window rectangle around a client rectangle at a DPI (AdjustWindowRectExForDpi where
// Windows has it).
void adjustWindowRect(RECT& r, DWORD style, BOOL menu, DWORD exStyle, int dpi);

// The dialog font of the desktop at a DPI; shared, never to be deleted by the caller.
HFONT uiFont(int dpi);
// A font by face name and point size at a DPI; when the face is missing, the next one in
// `faces` is tried, then the dialog font. Shared, never to be deleted by the caller.
HFONT namedFont(std::initializer_list<const wchar_t*> faces, int points, int dpi,
                bool bold = false);

// The real message box: the classic style codes are MessageBoxW's own.
int showMessageBox(const std::string& prompt, int style, const std::string& title);

// Runs a window modally over its owner: the owner takes no input until `done` says so or the
// window is destroyed. Returns at once when there is no message loop to run (WM_QUIT).
void runModal(HWND window, HWND owner, const std::function<bool()>& done);

// Registers a window class of this program once; returns its name.
const wchar_t* registerClass(const wchar_t* name, WNDPROC proc, HBRUSH background,
                             HCURSOR cursor = nullptr);

// The object behind a window made with CreateWindowExW(..., this): set on WM_NCCREATE.
template <typename T>
T* objectOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return self;
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// A plain child panel: what its controls report (commands, label colours) goes to its parent.
HWND createPanel(HWND parent);

// Moves a panel or frame to its place in twips; at the out-of-view left it is also hidden, so
// it takes no click and no focus.
void placeFrame(HWND frame, const Frame& at, int width, int height, int dpi);

}  // namespace win32_front
