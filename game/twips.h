#pragma once

// Window geometry is laid out in twips, the classic unit of 1/1440 inch; at 96 dots per inch
// that is 15 twips per pixel. Toolkits that scale for high-DPI screens themselves (Qt, the
// browser's CSS pixels) place controls in these 96-dpi pixels.
namespace twips {

constexpr int kPerPixel = 15;

// Rounds to the nearest pixel, as the classic toolkit did when it placed controls.
constexpr int toPx(int t) {
    return (t >= 0 ? t + kPerPixel / 2 : t - kPerPixel / 2) / kPerPixel;
}

}  // namespace twips
