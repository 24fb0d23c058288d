#pragma once
// The drawing surface on a persistent image. Twips become pixels by one
// painter transform (the form's scale / 15, times the device pixel ratio);
// lines use cosmetic pens of the trace thickness, without antialiasing, so
// they stay crisp. What is drawn since the last clear is kept as a list of
// drawing steps, so that a change of scale draws it again at the new size.

#include "graph/surface.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSizeF>
#include <memory>
#include <vector>

class ImageSurface : public Surface {
public:
    // sizeTwips: the drawing area; the image gets the matching pixel size.
    explicit ImageSurface(QSizeF sizeTwips, qreal devicePixelRatio = 1.0, QColor background = QColor(192, 192, 192));
    ~ImageSurface() override;

    void clear() override;
    void line(QPointF a, QPointF b) override;
    void rectOutline(QPointF a, QPointF b) override;
    void text(QPointF topLeft, const QString &s) override;
    void setWidth(int px) override;
    void setColor(QColor c) override;
    void lines(std::span<const QLineF> segments) override;
    void rectOutlines(std::span<const QLineF> corners) override;

    void setFont(const QFont &f);
    // A new size for the same twips: the image is drawn again from its steps.
    void setScale(double scale, qreal devicePixelRatio);
    double scale() const { return scale_; }
    int width() const { return width_; }
    QColor color() const { return color_; }

    // The image as drawn so far (finishes any drawing in progress). The
    // reference stays valid; copy it to keep a picture that later drawing
    // must not change.
    const QImage &image();
    // The painter the plots draw with, opened on first use.
    QPainter &painter();

private:
    // One drawing step in twips: a line, a rectangle, a text (index into
    // texts_), a width or a colour.
    struct Step {
        enum Kind : quint8 { Line, Rect, Text, Width, Colour } kind;
        QPointF a, b;
        QRgb value = 0;  // width, colour, or text index
    };
    void applyPen();
    void resetImage();
    void startSteps();
    void draw(const Step &s);
    void drawText(QPointF topLeft, const QString &s);
    // Drawable as they are: finite, and cut to what the rasteriser can take.
    bool drawable(QPointF &a, QPointF &b) const;
    void keepBatch(QPointF a, QPointF b);  // one more segment for the next drawLines
    void drawBatch();

    std::vector<QLineF> batch_;  // segments gathered for one drawLines

    QSizeF size_;  // twips
    std::vector<Step> steps_;
    std::vector<QString> texts_;
    double scale_ = 1.0;
    QImage image_;
    std::unique_ptr<QPainter> painter_;
    QColor background_;
    QColor color_ = QColor(0, 255, 0);
    QFont font_;
    int width_ = 1;
    qreal dpr_;
};
