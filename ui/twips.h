#pragma once
#include <QRect>

// Positions and sizes of the windows are designed in twips (1/1440 inch); at 96 dpi a logical pixel is 15 twips.
constexpr int kTwipsPerPixel = 15;
constexpr int twipsToPx(int twips) {
    return twips / kTwipsPerPixel;
}
constexpr int pxToTwips(int px) {
    return px * kTwipsPerPixel;
}

// A control's rectangle designed in twips, in pixels.
inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}
