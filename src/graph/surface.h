#pragma once
// What the plots draw on. Every position is in twips, origin at the top-left
// of the drawing area, y growing downward; the width is in pixels.

#include <QColor>
#include <QPointF>
#include <QString>

class Surface {
public:
    virtual ~Surface() = default;
    virtual void clear() = 0;                            // erase every trace and text
    virtual void line(QPointF a, QPointF b) = 0;         // straight line, current colour
    virtual void rectOutline(QPointF a, QPointF b) = 0;  // outline between two corners
    virtual void text(QPointF topLeft, const QString &) = 0;
    virtual void setWidth(int px) = 0;  // line width for what follows
    virtual void setColor(QColor) = 0;  // colour for what follows
};
