#pragma once

#include "lcd/drawing_surface.h"

#include <cstdint>
#include <string>

// Seven-segment display of decimal digits (and a colon) drawn as strokes on a surface. It keeps
// no text: every Caption clears the surface and draws the whole text again.
class ClsLcd {
  public:
    // Binds the display to a surface and measures it. Call before anything else.
    void NewLCD(DrawingSurface* PBox);

    void BackColor(OleColor Color);
    void ForeColor(OleColor Color);
    void Caption(const std::string& value);

    std::int16_t IntX() const { return IntX_; }
    std::int16_t IntY() const { return IntY_; }
    std::int16_t IntWidth() const { return IntWidth_; }
    std::int16_t IntHeight() const { return IntHeight_; }

  private:
    void DrawDigit(std::int16_t n);
    void DrawSegment(std::int16_t s);
    void DrawColon();

    DrawingSurface* LcdBox = nullptr;
    std::int16_t IntX_ = 0;
    std::int16_t IntY_ = 0;
    std::int16_t IntHeight_ = 0;
    std::int16_t IntWidth_ = 0;
};
