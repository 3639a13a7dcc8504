#pragma once

#include "game/form1.h"

#include <QRect>

// Window geometry is laid out in twips, the classic unit of 1/1440 inch; at 96 dots per inch
// that is 15 twips per pixel. Qt works in device-independent pixels and scales for high-DPI
// screens by itself, so this is the one place where the two meet.
namespace twips {

constexpr int kPerPixel = 15;

// Rounds to the nearest pixel, as the classic toolkit did when it placed controls.
constexpr int toPx(int t) {
    return (t >= 0 ? t + kPerPixel / 2 : t - kPerPixel / 2) / kPerPixel;
}

// A control's geometry given in twips, as (left, top) and width x height.
inline QRect toRect(int left, int top, int width, int height) {
    return QRect(toPx(left), toPx(top), toPx(width), toPx(height));
}

inline QRect toRect(const TwipsRect& r) {
    return toRect(r.Left, r.Top, r.Width, r.Height);
}

}  // namespace twips
