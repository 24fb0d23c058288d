#include "graph/image_surface.h"

#include <QPen>
#include <cmath>

namespace {

constexpr double kTwipsPerPixel = 15.0;
// Far outside the image but small enough for the rasteriser's fixed point.
constexpr double kFar = 1.0e6;

bool finite(QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// Cuts the segment to the square ±kFar (Liang–Barsky); false when nothing is left.
bool clipFar(QPointF &a, QPointF &b)
{
    double t0 = 0, t1 = 1;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() + kFar, kFar - a.x(), a.y() + kFar, kFar - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0) {
            if (r > t1) return false;
            if (r > t0) t0 = r;
        } else {
            if (r < t0) return false;
            if (r < t1) t1 = r;
        }
    }
    const QPointF a0 = a;
    a = QPointF(a0.x() + t0 * dx, a0.y() + t0 * dy);
    b = QPointF(a0.x() + t1 * dx, a0.y() + t1 * dy);
    return true;
}

bool inRange(QPointF p) { return std::abs(p.x()) <= kFar && std::abs(p.y()) <= kFar; }

}  // namespace

ImageSurface::ImageSurface(QSizeF sizeTwips, qreal devicePixelRatio, QColor background)
    : size_(sizeTwips), background_(background), dpr_(devicePixelRatio > 0 ? devicePixelRatio : 1.0)
{
    resetImage();
    startSteps();
}

void ImageSurface::resetImage()
{
    painter_.reset();
    const double f = scale_ / kTwipsPerPixel * dpr_;
    const int w = int(std::lround(size_.width() * f));
    const int h = int(std::lround(size_.height() * f));
    image_ = QImage(qMax(w, 1), qMax(h, 1), QImage::Format_RGB32);
    image_.setDevicePixelRatio(dpr_);
    image_.fill(background_);
}

// After a clear the steps start from the pen as it stands.
void ImageSurface::startSteps()
{
    steps_.clear();
    texts_.clear();
    steps_.push_back({Step::Width, {}, {}, QRgb(width_)});
    steps_.push_back({Step::Colour, {}, {}, color_.rgba()});
}

void ImageSurface::setScale(double scale, qreal devicePixelRatio)
{
    if (scale <= 0) return;
    scale_ = scale;
    if (devicePixelRatio > 0) dpr_ = devicePixelRatio;
    resetImage();
    const int thickness = width_;
    const QColor colour = color_;
    for (const Step &step : steps_) draw(step);
    width_ = thickness;
    color_ = colour;
    applyPen();
}

void ImageSurface::draw(const Step &s)
{
    switch (s.kind) {
    case Step::Line:
        painter().drawLine(s.a, s.b);
        break;
    case Step::Rect:
        painter().drawRect(QRectF(s.a, s.b).normalized());
        break;
    case Step::Text:
        drawText(s.a, texts_[s.value]);
        break;
    case Step::Width:
        width_ = int(s.value);
        applyPen();
        break;
    case Step::Colour:
        color_ = QColor::fromRgba(s.value);
        applyPen();
        break;
    }
}

ImageSurface::~ImageSurface() = default;

QPainter &ImageSurface::painter()
{
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        // The image carries its pixel ratio, so the painter already works in
        // device-independent pixels: one more scale turns twips into them.
        painter_->scale(scale_ / kTwipsPerPixel, scale_ / kTwipsPerPixel);
        painter_->setFont(font_);
        applyPen();
    }
    return *painter_;
}

void ImageSurface::applyPen()
{
    if (!painter_) return;
    // A cosmetic pen keeps its width whatever the twips scale. Its width is
    // in device pixels, so the thickness is scaled by the pixel ratio; width 0
    // is the rasteriser's one-pixel fast path.
    QPen pen(color_);
    pen.setCosmetic(true);
    const qreal device = width_ * dpr_;
    pen.setWidthF(device == 1.0 ? 0.0 : device);
    pen.setCapStyle(Qt::SquareCap);
    painter_->setPen(pen);
}

const QImage &ImageSurface::image()
{
    painter_.reset();
    return image_;
}

void ImageSurface::clear()
{
    painter_.reset();
    image_.fill(background_);
    startSteps();
}

bool ImageSurface::drawable(QPointF &a, QPointF &b) const
{
    if (!finite(a) || !finite(b)) return false;
    return (inRange(a) && inRange(b)) || clipFar(a, b);
}

void ImageSurface::line(QPointF a, QPointF b)
{
    if (!drawable(a, b)) return;
    steps_.push_back({Step::Line, a, b});
    painter().drawLine(a, b);
}

void ImageSurface::drawBatch()
{
    if (!batch_.empty()) painter().drawLines(batch_.data(), int(batch_.size()));
    batch_.clear();
}

void ImageSurface::keepBatch(QPointF a, QPointF b)
{
    batch_.emplace_back(a, b);
    steps_.push_back({Step::Line, a, b});
}

void ImageSurface::lines(std::span<const QLineF> segments)
{
    batch_.reserve(segments.size());
    steps_.reserve(steps_.size() + segments.size());
    for (const QLineF &l : segments) {
        QPointF a = l.p1(), b = l.p2();
        if (drawable(a, b)) keepBatch(a, b);
    }
    drawBatch();
}

void ImageSurface::rectOutlines(std::span<const QLineF> corners)
{
    batch_.reserve(corners.size());
    for (const QLineF &c : corners) {
        QPointF a = c.p1(), b = c.p2();
        if (a.x() != b.x() && a.y() != b.y()) {
            rectOutline(a, b);  // a real rectangle: drawn on its own
        } else if (drawable(a, b)) {
            keepBatch(a, b);  // without width or height: its one side
        }
    }
    drawBatch();
}

void ImageSurface::rectOutline(QPointF a, QPointF b)
{
    if (!finite(a) || !finite(b)) return;
    if (a.x() == b.x() || a.y() == b.y()) {
        line(a, b);  // a rectangle without width or height is its one side
        return;
    }
    if (!inRange(a) || !inRange(b)) return;
    steps_.push_back({Step::Rect, a, b});
    painter().drawRect(QRectF(a, b).normalized());
}

void ImageSurface::text(QPointF topLeft, const QString &s)
{
    if (!finite(topLeft) || !inRange(topLeft) || s.isEmpty()) return;
    steps_.push_back({Step::Text, topLeft, {}, QRgb(texts_.size())});
    texts_.push_back(s);
    drawText(topLeft, s);
}

void ImageSurface::drawText(QPointF topLeft, const QString &s)
{
    QPainter &p = painter();
    p.save();
    // Text keeps the form's font size: place it in pixels, not in scaled twips.
    const QPointF px = topLeft * scale_ / kTwipsPerPixel;
    p.resetTransform();
    p.setPen(color_);
    const QFontMetricsF fm(p.font());
    p.drawText(QPointF(px.x(), px.y() + fm.ascent()), s);
    p.restore();
}

void ImageSurface::setWidth(int px)
{
    width_ = qMax(px, 1);
    steps_.push_back({Step::Width, {}, {}, QRgb(width_)});
    applyPen();
}

void ImageSurface::setColor(QColor c)
{
    if (c == color_) return;
    color_ = c;
    steps_.push_back({Step::Colour, {}, {}, color_.rgba()});
    applyPen();
}

void ImageSurface::setFont(const QFont &f)
{
    font_ = f;
    if (painter_) painter_->setFont(font_);
}
