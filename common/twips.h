#pragma once
// Positions and sizes of the windows are designed in twips (1/1440 inch); at 96 dpi a logical pixel is 15 twips.
constexpr int kTwipsPerPixel = 15;
constexpr int twipsToPx(int twips) {
    return twips / kTwipsPerPixel;
}
constexpr int pxToTwips(int px) {
    return px * kTwipsPerPixel;
}
