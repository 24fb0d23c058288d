#pragma once
// Positions are kept in twips as the panel was drawn; 15 twips make one
// device-independent pixel. This is the one place where they become pixels.

#include <QRect>
#include <cmath>

constexpr double kTwipsPerPixel = 15.0;

inline int twipsToPx(double t) { return int(std::lround(t / kTwipsPerPixel)); }

inline QRect twips(double left, double top, double width, double height)
{
    const int l = twipsToPx(left), t = twipsToPx(top);
    return QRect(l, t, twipsToPx(left + width) - l, twipsToPx(top + height) - t);
}
