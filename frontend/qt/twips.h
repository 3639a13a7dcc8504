#pragma once

#include "game/form1.h"
#include "game/twips.h"

#include <QRect>

// Qt works in device-independent pixels and scales for high-DPI screens by itself: twips meet
// Qt rectangles here.
namespace twips {

// A control's geometry given in twips, as (left, top) and width x height.
inline QRect toRect(int left, int top, int width, int height) {
    return QRect(toPx(left), toPx(top), toPx(width), toPx(height));
}

inline QRect toRect(const TwipsRect& r) {
    return toRect(r.Left, r.Top, r.Width, r.Height);
}

}  // namespace twips
