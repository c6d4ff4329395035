// Layouts are designed in twips; the screen is laid out in logical pixels. The one
// conversion between them.
#pragma once

#include <QRect>
#include <climits>

constexpr int TwipsPerPixel = 15;

// Rounded half away from zero; held within int, however far off the screen.
constexpr int TwipsToPx(double twips) {
    const double px = twips / TwipsPerPixel + (twips < 0 ? -0.5 : 0.5);
    if (!(px > INT_MIN && px < INT_MAX)) return px > 0 ? INT_MAX : INT_MIN;
    return int(px);
}

constexpr float PxToTwips(int px) {
    return float(px * TwipsPerPixel);
}

inline QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPx(left), TwipsToPx(top), TwipsToPx(width), TwipsToPx(height));
}
