// Layouts are designed in twips; the screen is laid out in logical pixels.
#pragma once

#include <QRect>

constexpr int TwipsPerPixel = 15;

constexpr int TwipsToPx(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

inline QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPx(left), TwipsToPx(top), TwipsToPx(width), TwipsToPx(height));
}
