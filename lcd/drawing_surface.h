#pragma once

#include <cstdint>

// Colours are packed 0x00BBGGRR: 255 is pure red.
using OleColor = std::uint32_t;

// The stroke operations a seven-segment display needs from a picture box. Coordinates are
// whole pixels inside the border, origin top-left, y downward.
class DrawingSurface {
  public:
    virtual ~DrawingSurface() = default;

    virtual int innerWidth() const = 0;
    virtual int innerHeight() const = 0;

    // Clears to the background colour.
    virtual void clear() = 0;
    virtual void setBackColor(OleColor color) = 0;
    virtual void setForeColor(OleColor color) = 0;

    // A one-pixel line between two points, both end points set, in the foreground colour.
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    // A filled rectangle with corners (x1, y1) and (x2, y2), both included.
    virtual void box(int x1, int y1, int x2, int y2) = 0;
};
