#pragma once
// The form helpers every frame is built with: captions, bordered value
// labels, text boxes, buttons with a back colour, check boxes, lists and
// separator lines, each placed in twips (ui/placement.h). The timers the
// frames use are the bench's own (engine/timers.h).

#include "engine/timers.h"

#include <QColor>
#include <QRectF>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace ui {

// The grey of an idle "Acquisition Programmée" button and red of an armed one.
inline const QColor kIdleGrey{192, 192, 192};
inline const QColor kArmedRed{255, 0, 0};

QLabel *caption(QWidget *parent, const QString &text, int l, int t, int w, int h, const QColor &colour = QColor());
QLabel *valueLabel(QWidget *parent, const QString &name, const QString &text, int l, int t, int w, int h,
                   const QColor &colour);
QLineEdit *textBox(QWidget *parent, const QString &name, const QString &text, int l, int t, int w, int h);
QPushButton *button(QWidget *parent, const QString &name, const QString &text, int l, int t, int w, int h);
QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &text, int l, int t, int w, int h);
QComboBox *comboBox(QWidget *parent, const QString &name, const QStringList &entries, int l, int t, int w, int h);
// A plain caption at a rectangle in twips, with its design name if given.
QLabel *label(QWidget *parent, const QString &text, QRectF r, const char *name = nullptr);
// A vertical line one pixel wide at x, from top down to bottom (twips): a
// LineElement (ui/controls.h).
QWidget *verticalLine(QWidget *parent, double x, double top, double bottom, const QColor &colour);

// The back colour of a button, kept in its "backColor" property and shown.
void setBackColour(QPushButton *b, const QColor &c);
QColor backColour(const QPushButton *b);

}  // namespace ui

// The acquisition frames' helpers (schedule_widget.h) see the kit's names.
namespace acquisition::ui {
using namespace ::ui;
}
