#pragma once

#include <windows.h>

#include <cstdint>

// A 32-bit top-down bitmap selected into a memory DC: what a surface draws into, keeps while it
// is covered, reads back and paints from.
class BackingBitmap {
  public:
    BackingBitmap() = default;
    ~BackingBitmap();
    BackingBitmap(const BackingBitmap&) = delete;
    BackingBitmap& operator=(const BackingBitmap&) = delete;

    // Makes it w x h pixels (at least 1 x 1); what it held is gone.
    void resize(int w, int h);

    HDC dc() const { return memory_; }
    std::uint32_t* bits() const { return bits_; }
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
