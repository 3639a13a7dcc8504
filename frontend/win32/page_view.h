#pragma once

#include "frontend/win32/backing_bitmap.h"
#include "frontend/win32/image_list.h"
#include "solver/maker_site.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// Stands in for a web view: Navigate records the address and paints the page for it with GDI:
// its heading, the board of the position cut from the picture in play (the blank left empty),
// and its lines of text. Nothing is fetched.
class PageView {
  public:
    // The picture a page's board is cut from, at the DPI the page is painted.
    using PictureSource = std::function<const Picture&(const maker_site::Page& page, int dpi)>;

    PageView(HWND parent, PictureSource pictures, int tile);
    ~PageView();
    PageView(const PageView&) = delete;
    PageView& operator=(const PageView&) = delete;

    HWND hwnd() const { return hwnd_; }
    void place(const RECT& at, int dpi);
    void Navigate(const std::string& address);
    const std::string& LocationURL() const { return location_; }

    // Where the board's cells are, in the backing bitmap's pixels.
    RECT cellRect(int cell) const;
    RECT cellRect(const maker_site::BoardCell& cell) const;
    // The backing bitmap in device pixels, 0x00RRGGBB.
    std::uint32_t pixel(int x, int y) const;
    int backingWidth() const { return width_; }
    int backingHeight() const { return height_; }

  private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    int dev(int px96) const;

    HWND hwnd_ = nullptr;
    PictureSource pictures_;
    int tile_;
    int dpi_ = 96;
    std::string location_;
    BackingBitmap backing_;
    int width_ = 0;
    int height_ = 0;
    int boardLeft_ = 0;
    int boardTop_ = 0;
};
