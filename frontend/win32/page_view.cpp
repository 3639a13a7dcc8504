#include "frontend/win32/page_view.h"

#include "frontend/win32/win32_front.h"
#include "solver/maker_site.h"

#include <algorithm>

namespace {

constexpr COLORREF colorRef(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The page's look, shared with every front-end; the margin is this page view's own.
constexpr COLORREF kBackground = colorRef(maker_site::page_style::kBackground);
constexpr COLORREF kHeading = colorRef(maker_site::page_style::kHeading);
constexpr COLORREF kText = colorRef(maker_site::page_style::kText);
constexpr COLORREF kNote = colorRef(maker_site::page_style::kNote);
constexpr COLORREF kFrame = colorRef(maker_site::page_style::kBoardFrame);
constexpr COLORREF kBlank = colorRef(maker_site::page_style::kBlank);
constexpr int kMargin = 12;

const std::initializer_list<const wchar_t*> kFaces = {L"Microsoft YaHei UI", L"Microsoft YaHei",
                                                      L"SimSun", L"宋体"};

void fill(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

}  // namespace

PageView::PageView(HWND parent, PictureSource pictures, int tile)
    : pictures_(std::move(pictures)), tile_(tile) {
    const wchar_t* cls = win32_front::registerClass(L"TesslePageView", proc, nullptr);
    hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, cls, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                            nullptr, GetModuleHandleW(nullptr), this);
}

PageView::~PageView() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

int PageView::dev(int px96) const {
    return win32_front::scale(px96, dpi_);
}

void PageView::place(const RECT& at, int dpi) {
    dpi_ = dpi;
    SetWindowPos(hwnd_, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(hwnd_, &client);
    width_ = std::max<int>(1, client.right);
    height_ = std::max<int>(1, client.bottom);
    backing_.resize(width_, height_);
    paint();
}

void PageView::Navigate(const std::string& address) {
    location_ = address;
    paint();
}

RECT PageView::cellRect(int cell) const {
    const maker_site::BoardCell c =
        maker_site::boardCells("", tile_)[static_cast<std::size_t>(cell)];
    return cellRect(c);
}

RECT PageView::cellRect(const maker_site::BoardCell& cell) const {
    const int left = boardLeft_ + dev(cell.x);
    const int top = boardTop_ + dev(cell.y);
    return RECT{left, top, left + dev(cell.size), top + dev(cell.size)};
}

std::uint32_t PageView::pixel(int x, int y) const {
    if (!backing_.bits() || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    GdiFlush();
    return backing_.bits()[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF;
}

void PageView::paint() {
    if (!backing_.dc()) return;
    fill(backing_.dc(), RECT{0, 0, width_, height_}, kBackground);
    if (location_.empty()) {
        InvalidateRect(hwnd_, nullptr, FALSE);
        return;
    }
    const maker_site::Page page = maker_site::parse(location_);
    const maker_site::PageText words = maker_site::text(page);
    SetBkMode(backing_.dc(), TRANSPARENT);
    const int left = dev(kMargin);
    const int right = width_ - dev(kMargin);
    int y = dev(kMargin);

    // Writes one block of text across the page and moves below it.
    const auto write = [&](const std::string& text, HFONT font, COLORREF color, int after) {
        HGDIOBJ old = SelectObject(backing_.dc(), font);
        SetTextColor(backing_.dc(), color);
        const std::wstring w = win32_front::wide(text);
        RECT r{left, y, right, height_};
        DrawTextW(backing_.dc(), w.c_str(), static_cast<int>(w.size()), &r,
                  DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        r.right = right;
        DrawTextW(backing_.dc(), w.c_str(), static_cast<int>(w.size()), &r,
                  DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(backing_.dc(), old);
        y = r.bottom + dev(after);
    };

    write(words.heading, win32_front::namedFont(kFaces, 15, dpi_, true), kHeading, 6);
    if (page.kind == maker_site::Page::kBoard) {
        const int side = dev(maker_site::boardSide(tile_));
        boardLeft_ = left;
        boardTop_ = y;
        fill(backing_.dc(), RECT{left, y, left + side, y + side}, kFrame);
        const Picture& picture = pictures_(page, dpi_);
        const int ratio = std::max(1, picture.width() / 220);
        HDC source = CreateCompatibleDC(backing_.dc());
        HGDIOBJ old = SelectObject(source, picture.bitmap());
        SetStretchBltMode(backing_.dc(), HALFTONE);
        SetBrushOrgEx(backing_.dc(), 0, 0, nullptr);
        for (const maker_site::BoardCell& cell : maker_site::boardCells(page.position, tile_)) {
            const RECT r = cellRect(cell);
            if (cell.blank || picture.empty()) {
                fill(backing_.dc(), r, kBlank);
                continue;
            }
            StretchBlt(backing_.dc(), r.left, r.top, r.right - r.left, r.bottom - r.top, source,
                       cell.sx * ratio, cell.sy * ratio, cell.size * ratio, cell.size * ratio,
                       SRCCOPY);
        }
        SelectObject(source, old);
        DeleteDC(source);
        y += side + dev(6);
    }
    for (const std::string& paragraph : words.paragraphs)
        write(paragraph, win32_front::namedFont(kFaces, 10, dpi_), kText, 6);
    write(words.note, win32_front::namedFont(kFaces, 9, dpi_), kNote, 0);
    GdiFlush();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT CALLBACK PageView::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PageView* self = win32_front::objectOf<PageView>(window, message, lParam);
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT && self) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (self->backing_.dc())
            BitBlt(dc, 0, 0, self->width_, self->height_, self->backing_.dc(), 0, 0, SRCCOPY);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
