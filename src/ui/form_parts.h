#pragma once
// The form helpers every frame is built with: captions, bordered value
// labels, text boxes, buttons with a back colour, check boxes, lists and
// separator lines, each placed in twips (ui/placement.h). The timers the
// frames use are the bench's own (engine/timers.h).

#include "engine/timers.h"

#include <QColor>
#include <QRectF>
#include <QString>

class FrameEngine;
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

// A control shows the engine's value without reporting it back as a change.
void setQuietly(QCheckBox *box, bool checked);
void setQuietly(QLineEdit *box, const QString &text);
void setQuietly(QComboBox *list, int position);

// The controls of a programming panel that show the frame's modes.
struct PanelView {
    QPushButton *programButton;  // "Acquisition Programmée": red when armed, grey when idle
    QComboBox *intervals;
    QCheckBox *cyclic;
    QCheckBox *programmed;
    QComboBox *days;
    QLineEdit *hour;
};
void showPanelMode(const FrameEngine &engine, const PanelView &v);
// "Acquisition Programmée": the panel at its full height, over the columns.
void showPanel(QWidget *panel);

}  // namespace ui
