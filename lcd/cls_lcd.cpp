#include "lcd/cls_lcd.h"

#include <cmath>

namespace {

// Lit segments per digit, in drawing order: 1 top, 2 upper right, 3 lower right, 4 bottom,
// 5 lower left, 6 upper left, 7 middle.
constexpr const char* kDigitSegments[10] = {
    "123456", "23", "12754", "12734", "2376", "16734", "167345", "123", "1234567", "123467",
};

}  // namespace

void ClsLcd::NewLCD(DrawingSurface* PBox) {
    LcdBox = PBox;
    IntX_ = 2;
    IntY_ = 2;
    // Ties go to the even integer, as the classic rounding did.
    IntHeight_ = static_cast<std::int16_t>(std::nearbyint(LcdBox->innerHeight() - 6.0));
    IntWidth_ = static_cast<std::int16_t>(IntHeight_ / 2 + 2);
}

void ClsLcd::BackColor(OleColor Color) {
    LcdBox->setBackColor(Color);
}
void ClsLcd::ForeColor(OleColor Color) {
    LcdBox->setForeColor(Color);
}

void ClsLcd::Caption(const std::string& value) {
    const std::int16_t startX = IntX_;
    LcdBox->clear();
    for (const char c : value) {
        // A character is one cell, also when it takes several bytes of UTF-8.
        if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;
        if (c == ':') {
            DrawColon();
            IntX_ = static_cast<std::int16_t>(IntX_ + IntWidth_);
        } else {
            DrawDigit(c >= '0' && c <= '9' ? static_cast<std::int16_t>(c - '0') : 0);
            IntX_ = static_cast<std::int16_t>(IntX_ + IntWidth_ + 3);
        }
    }
    IntX_ = startX;
}

void ClsLcd::DrawColon() {
    const int x = IntX_, y = IntY_, c = IntWidth_ / 2, m = IntHeight_ / 2;
    LcdBox->box(x + c - 4, y + m - 6, x + c, y + m - 3);
    LcdBox->box(x + c - 4, y + m + 4, x + c, y + m + 7);
}

void ClsLcd::DrawDigit(std::int16_t n) {
    if (n < 0 || n > 9) return;
    for (const char* s = kDigitSegments[n]; *s; ++s)
        DrawSegment(static_cast<std::int16_t>(*s - '0'));
}

void ClsLcd::DrawSegment(std::int16_t s) {
    const int x = IntX_, y = IntY_, w = IntWidth_, h = IntHeight_, m = h / 2;
    DrawingSurface& d = *LcdBox;
    switch (s) {
        case 1:
            d.line(x + 1, y, x + w - 1, y);
            d.line(x + 2, y + 1, x + w - 2, y + 1);
            d.line(x + 3, y + 2, x + w - 3, y + 2);
            break;
        case 2:
            d.line(x + w - 1, y + 1, x + w - 1, y + m - 1);
            d.line(x + w - 2, y + 2, x + w - 2, y + m);
            d.line(x + w - 3, y + 3, x + w - 3, y + m - 1);
            break;
        case 3:
            d.line(x + w - 1, y + m + 2, x + w - 1, y + h);
            d.line(x + w - 2, y + m + 1, x + w - 2, y + h - 1);
            d.line(x + w - 3, y + m + 2, x + w - 3, y + h - 2);
            break;
        case 4:
            d.line(x + 3, y + h - 2, x + w - 3, y + h - 2);
            d.line(x + 2, y + h - 1, x + w - 2, y + h - 1);
            d.line(x + 1, y + h, x + w - 1, y + h);
            break;
        case 5:
            d.line(x, y + m + 2, x, y + h);
            d.line(x + 1, y + m + 1, x + 1, y + h - 1);
            d.line(x + 2, y + m + 2, x + 2, y + h - 2);
            break;
        case 6:
            d.line(x, y + 1, x, y + m - 1);
            d.line(x + 1, y + 2, x + 1, y + m);
            d.line(x + 2, y + 3, x + 2, y + m - 1);
            break;
        case 7:
            d.line(x + 3, y + m - 1, x + w - 3, y + m - 1);
            d.line(x + 2, y + m, x + w - 2, y + m);
            d.line(x + 3, y + m + 1, x + w - 3, y + m + 1);
            break;
        default:
            break;
    }
}
