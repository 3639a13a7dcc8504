#include "frontend/win32/win32_front.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace win32_front {

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::string textOf(HWND window) {
    const int n = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), n + 1)));
    return utf8(text);
}

void addTooltip(HWND owner, HWND control, const std::string& text) {
    // Owned by the window, so it goes with it.
    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    std::wstring caption = wide(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = caption.data();
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

RECT toRect(const TwipsRect& r, int dpi) {
    const int left = toPx(r.Left, dpi);
    const int top = toPx(r.Top, dpi);
    return RECT{left, top, left + toPx(r.Width, dpi), top + toPx(r.Height, dpi)};
}

// ---- DPI ----

namespace {

// Windows 10's DPI functions are looked up when first needed, never imported: the loader of
// Windows 7, 8 and 8.1 refuses to start a program that imports one its user32 lacks.
template <typename Function>
Function fromUser32(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    // Through void(*)(), the one function pointer type every other converts from quietly.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

int systemDpi() {
    static const auto forSystem = fromUser32<UINT(WINAPI*)()>("GetDpiForSystem");
    if (forSystem) return static_cast<int>(forSystem());
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int dpiOf(HWND window) {
    static const auto forWindow = fromUser32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const UINT dpi = window && forWindow ? forWindow(window) : 0;
    return dpi ? static_cast<int>(dpi) : systemDpi();
}

void adjustWindowRect(RECT& r, DWORD style, BOOL menu, DWORD exStyle, int dpi) {
    static const auto forDpi =
        fromUser32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (forDpi) {
        forDpi(&r, style, menu, exStyle, static_cast<UINT>(dpi));
    } else {
        // The frame of the system DPI, the only one these windows get there.
        AdjustWindowRectEx(&r, style, menu, exStyle);
    }
}

namespace {

using FontKey = std::tuple<std::wstring, int, int, bool>;

std::map<FontKey, HFONT>& fonts() {
    static std::map<FontKey, HFONT> all;
    return all;
}

// A callback of the system's own calling convention (stdcall on 32-bit Windows), which a lambda
// cannot be.
int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool faceExists(const wchar_t* face) {
    LOGFONTW want{};
    want.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(want.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &want, noteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

}  // namespace

void put(HWND control, const TwipsRect& at, int dpi) {
    const RECT r = toRect(at, dpi);
    SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont(dpi)), TRUE);
}

HFONT uiFont(int dpi) {
    const FontKey key{L"", 0, dpi, false};
    HFONT& font = fonts()[key];
    if (!font) {
        static const auto forDpi =
            fromUser32<BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (forDpi) {
            forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi));
        } else {
            // The font of the system DPI, scaled: Windows 8.1 moves a window to a screen of
            // another DPI without a call that gives the font at it.
            SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
            metrics.lfMessageFont.lfHeight =
                MulDiv(metrics.lfMessageFont.lfHeight, dpi, systemDpi());
        }
        font = CreateFontIndirectW(&metrics.lfMessageFont);
    }
    return font;
}

HFONT namedFont(std::initializer_list<const wchar_t*> faces, int points, int dpi, bool bold) {
    for (const wchar_t* face : faces) {
        const FontKey key{face, points, dpi, bold};
        if (const auto it = fonts().find(key); it != fonts().end()) return it->second;
        if (!faceExists(face)) continue;
        LOGFONTW lf{};
        lf.lfHeight = -MulDiv(points, dpi, 72);
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = CLEARTYPE_QUALITY;
        wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
        return fonts()[key] = CreateFontIndirectW(&lf);
    }
    return uiFont(dpi);
}

// ---- Seams ----

int showMessageBox(const std::string& prompt, int style, const std::string& title) {
    // The box belongs to whichever of our windows is in front: that one waits for it.
    return MessageBoxW(GetActiveWindow(), wide(prompt).c_str(), wide(title).c_str(),
                       static_cast<UINT>(style));
}

void runModal(HWND window, HWND owner, const std::function<bool()>& done) {
    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    MSG msg;
    while (IsWindow(window) && !done()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            break;
        }
        if (IsDialogMessageW(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // The owner comes back before the window goes, so Windows gives it the activation.
    if (owner) EnableWindow(owner, TRUE);
    if (IsWindow(window)) ShowWindow(window, SW_HIDE);
    if (owner) SetActiveWindow(owner);
}

// ---- Window classes and panels ----

const wchar_t* registerClass(const wchar_t* name, WNDPROC proc, HBRUSH background, HCURSOR cursor) {
    static std::vector<std::wstring> registered;
    if (std::find(registered.begin(), registered.end(), name) == registered.end()) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = background;
        wc.lpszClassName = name;
        RegisterClassExW(&wc);
        registered.emplace_back(name);
    }
    return name;
}

namespace {

LRESULT CALLBACK panelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return SendMessageW(GetParent(window), message, wParam, lParam);
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

HWND createPanel(HWND parent) {
    const wchar_t* cls =
        registerClass(L"TesslePanel", panelProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateWindowExW(WS_EX_CONTROLPARENT, cls, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                           0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void placeFrame(HWND frame, const Frame& at, int width, int height, int dpi) {
    SetWindowPos(frame, nullptr, toPx(at.Left, dpi), toPx(at.Top, dpi), toPx(width, dpi),
                 toPx(height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(frame, at.Left == kOutOfView ? SW_HIDE : SW_SHOWNA);
}

}  // namespace win32_front
