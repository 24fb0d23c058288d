#pragma once
// Small controls the panel needs beyond Qt's own: a round lamp, a button that
// acts on the press of any mouse button, a text box that reports right
// presses, a clickable picture, and a plain drawn line.

#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

class Lamp : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor)
public:
    explicit Lamp(QWidget *parent = nullptr);
    QColor color() const { return color_; }
    void setColor(const QColor &c);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QColor color_;
};

// Reacts when a mouse button goes down, whichever it is, without waiting for
// the release.
class PressButton : public QPushButton {
    Q_OBJECT
public:
    explicit PressButton(const QString &text, QWidget *parent = nullptr) : QPushButton(text, parent)
    {
        setProperty("wordWrap", true);  // its caption goes over lines
    }
signals:
    void mouseDown(int button);  // 1 left, 2 right, 4 middle
protected:
    void mousePressEvent(QMouseEvent *e) override;
    void paintEvent(QPaintEvent *e) override;  // captions wrap over two lines
};

class TimeBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TimeBox(QWidget *parent = nullptr);
signals:
    void mouseDown(int button);

protected:
    void mousePressEvent(QMouseEvent *e) override;
};

// A picture that acts as a button: a left click, or Space or Enter once it
// has the keyboard focus (Tab reaches it). Assistive technologies see a
// button with a press action.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr);
    void click() { emit clicked(); }
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void paintEvent(QPaintEvent *e) override;  // the focus shows round the picture
};

// A straight line between two points of its parent, drawn as a thin widget.
class LineElement : public QWidget {
    Q_OBJECT
public:
    LineElement(QWidget *parent, QColor color, Qt::PenStyle style = Qt::SolidLine);
    void setTwips(double x1, double y1, double x2, double y2);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QColor color_;
    Qt::PenStyle style_;
    bool vertical_ = true;
};

int vbButton(Qt::MouseButton b);
