#pragma once
// The controls of the form are placed in twips through these functions. Each
// keeps its design rectangle, so that when the form changes scale every
// control moves and resizes again from its twips, and every font set on the
// form grows or shrinks with it. A control moved at run time (a legend, a
// panel's height) goes through them too and follows the current scale.
// Widgets placed any other way (the inner parts of Qt's own controls) are
// left to their owners.

#include <QRectF>

class QWidget;

namespace placement {

// w at the rectangle given in twips of its parent, at the scale of its form.
void place(QWidget *w, double left, double top, double width, double height);
// A line one pixel thick, vertical (x1 = x2) or horizontal (y1 = y2).
void placeLine(QWidget *w, double x1, double y1, double x2, double y2);
// A new height in twips (the top-left and the width stay).
void setHeight(QWidget *w, double height);
// A caption whose text needs more than its design width: at least widthPx
// pixels at scale 1, and as much more as the scale grows.
void widen(QWidget *w, int widthPx);

// Whether w was placed here, and its design rectangle in twips.
bool placed(const QWidget *w);
QRectF designRect(const QWidget *w);
// The scale of the form that holds w; 1 outside any scaled form.
double scaleOf(const QWidget *w);

// Scales the form rooted at root: root and every placed widget below it
// take their design rectangle times the scale, every font set on root or
// below its design size times the scale, then each ScaleAware widget below
// root is told. Scale 1 gives back the design exactly.
void setScale(QWidget *root, double scale);

// A widget that draws in twips itself (the graph surface) follows the scale here.
class ScaleAware {
public:
    virtual ~ScaleAware() = default;
    virtual void scaleChanged(double scale) = 0;
};

}  // namespace placement
