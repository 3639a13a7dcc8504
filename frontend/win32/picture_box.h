#pragma once

#include "frontend/win32/backing_bitmap.h"
#include "frontend/win32/image_list.h"
#include "game/form1.h"
#include "lcd/drawing_surface.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

// The classic picture box as a child window: an optional sunken border around a persistent
// backing bitmap that keeps what is drawn until the next clear, survives being covered and can
// be read back. The rules draw in 96-dpi pixels; the backing holds device pixels, so what is
// drawn stays sharp at any DPI. Everything drawn since the last clear is kept as a list of
// strokes and copies and drawn again when the DPI changes.
class PictureBox : public DrawingSurface {
  public:
    static constexpr int kBorder = 2;  // in 96-dpi pixels

    // System colours as the classic colour values carry them: 0x80000000 + the colour's index.
    static constexpr OleColor kWindowColour = 0x80000000 | COLOR_WINDOW;
    static constexpr OleColor kButtonFace = 0x80000000 | COLOR_BTNFACE;

    struct Options {
        bool border = true;
        bool handCursor = false;
        OleColor back = kWindowColour;
    };

    PictureBox(HWND parent, int index, Options options);
    PictureBox(HWND parent, int index) : PictureBox(parent, index, Options{}) {}
    ~PictureBox() override;
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;

    HWND hwnd() const { return hwnd_; }
    int index() const { return index_; }
    // Runs on a click: the left button pressed and released inside the surface.
    std::function<void(int index)> onClick;

    // Puts the surface at its place in twips at a DPI, redrawing what it shows at the new size.
    void place(const TwipsRect& at, int dpi);

    // DrawingSurface, in 96-dpi pixels inside the border.
    int innerWidth() const override { return innerWidth_; }
    int innerHeight() const override { return innerHeight_; }
    void clear() override;
    void setBackColor(OleColor color) override;
    void setForeColor(OleColor color) override;
    void line(int x1, int y1, int x2, int y2) override;
    void box(int x1, int y1, int x2, int y2) override;

    // Plain copy of the w x h region at (sx, sy) of a picture onto the origin, all in 96-dpi
    // pixels of the picture's natural size: the twin at 2x is addressed at double the numbers.
    void paintPicture(const Picture& picture, int sx, int sy, int w, int h);
    // The whole picture stretched over the surface.
    void paintStretched(const Picture& picture);

    // The backing bitmap in device pixels, 0x00RRGGBB.
    int backingWidth() const { return backing_.width(); }
    int backingHeight() const { return backing_.height(); }
    std::uint32_t pixel(int x, int y) const;
    int dpi() const { return dpi_; }

  private:
    struct Op {
        enum Kind { kLine, kBox, kRegion, kStretch } kind;
        int x1, y1, x2, y2;
        COLORREF color;
        const Picture* picture;
    };

    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Draws the border and what the backing holds onto a DC (the window's, or a copy's).
    void paint(HDC dc);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void rebuild();
    void draw(const Op& op);
    void fillLogical(int x1, int y1, int x2, int y2, COLORREF color);
    int dev(int px96) const;
    void invalidate();

    HWND hwnd_ = nullptr;
    int index_;
    Options options_;
    int dpi_ = 96;
    int innerWidth_ = 0;
    int innerHeight_ = 0;
    COLORREF back_;
    COLORREF fore_ = RGB(0, 0, 0);
    std::vector<Op> ops_;
    bool pressed_ = false;

    BackingBitmap backing_;
    int offsetX_ = 0;
    int offsetY_ = 0;
};
