#pragma once
// Positions are kept in twips as the panel was drawn; 15 twips make one
// device-independent pixel at the window's design size. This is the one place
// where they become pixels, at a scale of the whole form (1 = as drawn).

#include <QRect>
#include <QRectF>
#include <QSize>
#include <algorithm>
#include <cmath>

constexpr double kTwipsPerPixel = 15.0;

inline int twipsToPx(double t, double scale = 1.0) { return int(std::lround(t * scale / kTwipsPerPixel)); }

// Both edges are rounded, so neighbours that touch in twips touch in pixels.
inline QRect twips(double left, double top, double width, double height, double scale = 1.0)
{
    const int l = twipsToPx(left, scale), t = twipsToPx(top, scale);
    return QRect(l, t, twipsToPx(left + width, scale) - l, twipsToPx(top + height, scale) - t);
}

// A rectangle in twips at a scale; a side of no length (a drawn line) keeps
// one pixel.
inline QRect twips(const QRectF &r, double scale)
{
    QRect px = twips(r.x(), r.y(), r.width(), r.height(), scale);
    if (r.width() == 0) px.setWidth(1);
    if (r.height() == 0) px.setHeight(1);
    return px;
}

namespace scaling {

inline constexpr double kMinScale = 0.5;  // smaller, the captions cannot be read
inline constexpr double kMaxScale = 3.0;
// A screen too small for the form at kMinScale (a small screen magnified)
// still gets the whole of it, down to this.
inline constexpr double kSmallestScale = 0.2;

// The size of a form drawn at design pixels, at a scale.
inline QSize scaledSize(QSize design, double scale)
{
    return {int(std::lround(design.width() * scale)), int(std::lround(design.height() * scale))};
}

// The largest scale, in whole hundredths within lo … hi, at which a form of
// the design size (pixels at scale 1) fits the room.
inline double fitScale(QSize room, QSize design, double lo = kMinScale, double hi = kMaxScale)
{
    if (design.width() <= 0 || design.height() <= 0) return 1.0;
    const auto fits = [&](int percent) {
        const QSize s = scaledSize(design, percent / 100.0);
        return s.width() <= room.width() && s.height() <= room.height();
    };
    const int low = int(std::lround(lo * 100)), high = int(std::lround(hi * 100));
    const double ratio = std::min(double(room.width()) / design.width(), double(room.height()) / design.height());
    int percent = std::clamp(int(std::floor(ratio * 100)), low, high);
    while (percent < high && fits(percent + 1)) ++percent;
    while (percent > low && !fits(percent)) --percent;
    return percent / 100.0;
}

// The scale a window starts at: as drawn when that fits the screen's free
// area (less the menu, status line and window frame), else the largest that
// fits, below kMinScale only when the screen is that small.
inline double startScale(QSize available, QSize design, QSize chrome)
{
    const QSize room(available.width() - chrome.width(), available.height() - chrome.height());
    return fitScale(room, design, kSmallestScale, 1.0);
}

}  // namespace scaling
