#include "frontend/win32/backing_bitmap.h"

#include <algorithm>

BackingBitmap::~BackingBitmap() {
    if (memory_) {
        SelectObject(memory_, oldBitmap_);
        DeleteDC(memory_);
    }
    if (bitmap_) DeleteObject(bitmap_);
}

void BackingBitmap::resize(int w, int h) {
    if (memory_) {
        SelectObject(memory_, oldBitmap_);
    } else {
        memory_ = CreateCompatibleDC(nullptr);
    }
    if (bitmap_) DeleteObject(bitmap_);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = std::max(1, w);
    info.bmiHeader.biHeight = -std::max(1, h);  // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    oldBitmap_ = SelectObject(memory_, bitmap_);
    width_ = w;
    height_ = h;
}
