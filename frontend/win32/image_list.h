#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

// A decoded picture: 32-bit pixels, top row first, each 0xAARRGGBB (Windows' BGRA in memory).
class Picture {
  public:
    Picture() = default;
    Picture(int width, int height, std::vector<std::uint32_t> pixels);
    ~Picture();
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return pixels_.empty(); }
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

    // A bitmap of the picture for GDI to copy from, made on first use.
    HBITMAP bitmap() const;

    // The picture resampled to w x h by averaging the pixels each target pixel covers.
    Picture scaled(int w, int h) const;
    // An icon of the picture, its alpha kept: what buttons and image controls show.
    HICON icon() const;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    mutable HBITMAP bitmap_ = nullptr;
};

// Decodes a PNG held as an RCDATA resource of this program, with the system's own codecs (WIC).
Picture loadPicture(int resourceId);

// The pictures the game is drawn with, at 1x and at 2x for high-DPI screens.
class ImageList {
  public:
    static constexpr int kCount = 5;

    ImageList();

    // Built-in picture i (1..5) at its natural 220 x 220 pixels, or its 440 x 440 twin when the
    // screen is denser than 96 dpi.
    const Picture& ListImage(int i, int dpi = 96) const;
    const Picture& smiley(int dpi) const { return dpi > 96 ? smiley2x_ : smiley_; }
    const Picture& mail(int dpi) const { return dpi > 96 ? mail2x_ : mail_; }
    // The program icon, large enough to be scaled down to any size shown.
    const Picture& program() const { return program_; }

  private:
    std::array<Picture, kCount> normal_;
    std::array<Picture, kCount> high_;
    Picture smiley_, smiley2x_, mail_, mail2x_, program_;
};
