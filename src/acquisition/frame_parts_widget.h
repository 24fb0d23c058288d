#pragma once
// Small building blocks shared by the two acquisition frames: captions,
// bordered value labels, separator lines, buttons with a back colour, timers.

#include <QColor>
#include <QString>

class FrameEngine;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace acquisition::ui {

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
// A vertical line one pixel wide at x, from top down to bottom (twips).
QWidget *verticalLine(QWidget *parent, int x, int top, int bottom, const QColor &colour);

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

}  // namespace acquisition::ui
