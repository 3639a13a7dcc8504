#include "frontend/win32/picture_box.h"

#include "frontend/win32/win32_front.h"

#include <windowsx.h>

#include <algorithm>

namespace {

// A sunken edge as thick as `ring` device pixels: DrawEdge's two lines are one pixel each at
// any DPI, so each is drawn as often as the DPI asks (the outer one takes an odd pixel).
void drawSunkenEdge(HDC dc, RECT r, int ring) {
    const int outer = (ring + 1) / 2;
    for (int i = 0; i < ring; ++i) {
        DrawEdge(dc, &r, i < outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER, BF_RECT);
        InflateRect(&r, -1, -1);
    }
}

COLORREF fromOle(OleColor c) {
    return (c & 0x80000000) ? GetSysColor(static_cast<int>(c & 0xFF))
                            : static_cast<COLORREF>(c & 0xFFFFFF);
}

}  // namespace

PictureBox::PictureBox(HWND parent, int index, Options options)
    : index_(index), options_(options), back_(fromOle(options.back)) {
    const wchar_t* cls = win32_front::registerClass(L"TesslePictureBox", proc, nullptr);
    hwnd_ = CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr,
                            GetModuleHandleW(nullptr), this);
}

PictureBox::~PictureBox() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

int PictureBox::dev(int px96) const {
    return win32_front::scale(px96, dpi_);
}

void PictureBox::place(const TwipsRect& at, int dpi) {
    // The inner size the rules see is the one at 96 dpi, whatever the screen: the picture is cut
    // the same everywhere, and only drawn larger on a denser screen.
    const int border = options_.border ? kBorder : 0;
    innerWidth_ = std::max(0, win32_front::toPx(at.Width, 96) - 2 * border);
    innerHeight_ = std::max(0, win32_front::toPx(at.Height, 96) - 2 * border);
    dpi_ = dpi;
    const RECT r = win32_front::toRect(at, dpi);
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const int outerW = r.right - r.left;
    const int outerH = r.bottom - r.top;
    const int w = std::min(outerW, dev(innerWidth_));
    const int h = std::min(outerH, dev(innerHeight_));
    offsetX_ = (outerW - w) / 2;
    offsetY_ = (outerH - h) / 2;
    if (w != backing_.width() || h != backing_.height() || !backing_.dc()) backing_.resize(w, h);
    rebuild();
}

void PictureBox::rebuild() {
    if (!backing_.dc()) return;
    HBRUSH brush = CreateSolidBrush(back_);
    const RECT all{0, 0, backing_.width(), backing_.height()};
    FillRect(backing_.dc(), &all, brush);
    DeleteObject(brush);
    for (const Op& op : ops_) draw(op);
    invalidate();
}

void PictureBox::invalidate() {
    GdiFlush();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

std::uint32_t PictureBox::pixel(int x, int y) const {
    if (!backing_.bits() || x < 0 || y < 0 || x >= backing_.width() || y >= backing_.height())
        return 0;
    GdiFlush();
    return backing_.bits()[static_cast<std::size_t>(y) * backing_.width() + x] & 0xFFFFFF;
}

void PictureBox::clear() {
    ops_.clear();
    rebuild();
}

void PictureBox::setBackColor(OleColor color) {
    back_ = fromOle(color);
}

void PictureBox::setForeColor(OleColor color) {
    fore_ = fromOle(color);
}

void PictureBox::line(int x1, int y1, int x2, int y2) {
    ops_.push_back(Op{Op::kLine, x1, y1, x2, y2, fore_, nullptr});
    draw(ops_.back());
    invalidate();
}

void PictureBox::box(int x1, int y1, int x2, int y2) {
    ops_.push_back(Op{Op::kBox, x1, y1, x2, y2, fore_, nullptr});
    draw(ops_.back());
    invalidate();
}

void PictureBox::paintPicture(const Picture& picture, int sx, int sy, int w, int h) {
    ops_.clear();
    ops_.push_back(Op{Op::kRegion, sx, sy, w, h, 0, &picture});
    rebuild();
}

void PictureBox::paintStretched(const Picture& picture) {
    ops_.clear();
    ops_.push_back(Op{Op::kStretch, 0, 0, 0, 0, 0, &picture});
    rebuild();
}

// A 96-dpi pixel rectangle, both corners included, as the device pixels it covers.
void PictureBox::fillLogical(int x1, int y1, int x2, int y2, COLORREF color) {
    const RECT r{dev(std::min(x1, x2)), dev(std::min(y1, y2)), dev(std::max(x1, x2) + 1),
                 dev(std::max(y1, y2) + 1)};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(backing_.dc(), &r, brush);
    DeleteObject(brush);
}

void PictureBox::draw(const Op& op) {
    if (!backing_.dc()) return;
    switch (op.kind) {
        case Op::kBox:
            fillLogical(op.x1, op.y1, op.x2, op.y2, op.color);
            break;
        case Op::kLine:
            if (op.x1 == op.x2 || op.y1 == op.y2) {
                fillLogical(op.x1, op.y1, op.x2, op.y2, op.color);
            } else {
                // A slanted stroke: one square per step, so it is as thick as a straight one.
                const int steps = std::max(std::abs(op.x2 - op.x1), std::abs(op.y2 - op.y1));
                for (int i = 0; i <= steps; ++i) {
                    const int x = op.x1 + (op.x2 - op.x1) * i / steps;
                    const int y = op.y1 + (op.y2 - op.y1) * i / steps;
                    fillLogical(x, y, x, y, op.color);
                }
            }
            break;
        case Op::kRegion: {
            const Picture& p = *op.picture;
            if (p.empty()) break;
            const int ratio = std::max(1, p.width() / 220);  // the twin at 2x has twice the pixels
            HDC source = CreateCompatibleDC(backing_.dc());
            HGDIOBJ old = SelectObject(source, p.bitmap());
            const int dw = dev(op.x2);
            const int dh = dev(op.y2);
            if (dw == op.x2 * ratio && dh == op.y2 * ratio) {
                BitBlt(backing_.dc(), 0, 0, dw, dh, source, op.x1 * ratio, op.y1 * ratio, SRCCOPY);
            } else {
                SetStretchBltMode(backing_.dc(), HALFTONE);
                SetBrushOrgEx(backing_.dc(), 0, 0, nullptr);
                StretchBlt(backing_.dc(), 0, 0, dw, dh, source, op.x1 * ratio, op.y1 * ratio,
                           op.x2 * ratio, op.y2 * ratio, SRCCOPY);
            }
            SelectObject(source, old);
            DeleteDC(source);
            break;
        }
        case Op::kStretch: {
            const Picture scaled = op.picture->scaled(backing_.width(), backing_.height());
            if (scaled.empty()) break;
            // Alpha over the background: icons have soft edges.
            for (int y = 0; y < backing_.height(); ++y) {
                for (int x = 0; x < backing_.width(); ++x) {
                    const std::uint32_t s =
                        scaled.pixels()[static_cast<std::size_t>(y) * backing_.width() + x];
                    std::uint32_t& d =
                        backing_.bits()[static_cast<std::size_t>(y) * backing_.width() + x];
                    const unsigned a = s >> 24;
                    std::uint32_t out = 0;
                    for (int c = 0; c < 3; ++c) {
                        const unsigned sc = (s >> (8 * c)) & 0xFF;
                        const unsigned dc = (d >> (8 * c)) & 0xFF;
                        out |= ((sc * a + dc * (255 - a) + 127) / 255) << (8 * c);
                    }
                    d = out;
                }
            }
            break;
        }
    }
}

void PictureBox::paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    // Whatever the backing leaves of the client is the border.
    ExcludeClipRect(dc, offsetX_, offsetY_, offsetX_ + backing_.width(),
                    offsetY_ + backing_.height());
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    // The edge fills the ring the backing leaves, so it touches the picture at any DPI.
    if (options_.border) drawSunkenEdge(dc, client, std::min(offsetX_, offsetY_));
    SelectClipRgn(dc, nullptr);
    if (backing_.dc()) {
        BitBlt(dc, offsetX_, offsetY_, backing_.width(), backing_.height(), backing_.dc(), 0, 0,
               SRCCOPY);
    }
}

LRESULT CALLBACK PictureBox::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PictureBox* self = win32_front::objectOf<PictureBox>(window, message, lParam);
    if (self && self->hwnd_ == window) return self->handle(message, wParam, lParam);
    if (self && message == WM_NCCREATE) self->hwnd_ = window;
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT PictureBox::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            paint(BeginPaint(hwnd_, &ps));
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_SETCURSOR:
            if (options_.handCursor && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
            pressed_ = true;
            SetCapture(hwnd_);
            return 0;
        case WM_LBUTTONUP: {
            const bool wasPressed = pressed_;
            pressed_ = false;
            if (GetCapture() == hwnd_) ReleaseCapture();
            RECT client;
            GetClientRect(hwnd_, &client);
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (wasPressed && PtInRect(&client, at) && onClick) onClick(index_);
            return 0;
        }
        case WM_CAPTURECHANGED:
            pressed_ = false;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}
