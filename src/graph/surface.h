#pragma once
// What the plots draw on. Every position is in twips, origin at the top-left
// of the drawing area, y growing downward; the width is in pixels.

#include <QColor>
#include <QLineF>
#include <QPointF>
#include <QString>
#include <span>

class Surface {
public:
    virtual ~Surface() = default;
    virtual void clear() = 0;                            // erase every trace and text
    virtual void line(QPointF a, QPointF b) = 0;         // straight line, current colour
    virtual void rectOutline(QPointF a, QPointF b) = 0;  // outline between two corners
    virtual void text(QPointF topLeft, const QString &) = 0;
    virtual void setWidth(int px) = 0;  // line width for what follows
    virtual void setColor(QColor) = 0;  // colour for what follows

    // Many of the same at once, in the current colour: the same drawing as
    // one call each in turn, which a surface may do in one go.
    virtual void lines(std::span<const QLineF> segments)
    {
        for (const QLineF &l : segments) line(l.p1(), l.p2());
    }
    virtual void rectOutlines(std::span<const QLineF> corners)
    {
        for (const QLineF &c : corners) rectOutline(c.p1(), c.p2());
    }
};
