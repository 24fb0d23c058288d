#include "ui/controls.h"

#include "ui/placement.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

int vbButton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

Lamp::Lamp(QWidget *parent) : QWidget(parent), color_(0xC0C0C0) {}

void Lamp::setColor(const QColor &c)
{
    if (c == color_) return;
    color_ = c;
    update();
}

void Lamp::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int d = qMin(width(), height()) - 1;
    QRectF r((width() - d) / 2.0, (height() - d) / 2.0, d, d);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(color_);
    p.drawEllipse(r);
}

void PressButton::mousePressEvent(QMouseEvent *e)
{
    emit mouseDown(vbButton(e->button()));
    QPushButton::mousePressEvent(e);
}

void PressButton::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    // The margins follow the form's scale through the style.
    const int m = style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this) / 2;
    QRect r = rect().adjusted(m, std::min(2, m), -m, -std::min(2, m));
    if (isDown()) r.translate(1, 1);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, text());
}

TimeBox::TimeBox(QWidget *parent) : QLineEdit(parent) { setContextMenuPolicy(Qt::NoContextMenu); }

void TimeBox::mousePressEvent(QMouseEvent *e)
{
    QLineEdit::mousePressEvent(e);
    emit mouseDown(vbButton(e->button()));
}

namespace {

// What a screen reader is told about a clickable picture: a button, named
// by its accessible name, that can be pressed.
class ClickLabelAccessible : public QAccessibleWidget {
public:
    explicit ClickLabelAccessible(ClickLabel *w) : QAccessibleWidget(w, QAccessible::Button) {}
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction()) static_cast<ClickLabel *>(widget())->click();
    }
};

QAccessibleInterface *clickLabelAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("ClickLabel") && object && object->isWidgetType())
        return new ClickLabelAccessible(static_cast<ClickLabel *>(object));
    return nullptr;
}

}  // namespace

ClickLabel::ClickLabel(QWidget *parent) : QLabel(parent)
{
    static const bool installed = (QAccessible::installFactory(clickLabelAccessible), true);
    Q_UNUSED(installed);
    setFocusPolicy(Qt::StrongFocus);
}

void ClickLabel::mousePressEvent(QMouseEvent *e)
{
    QLabel::mousePressEvent(e);
    if (e->button() == Qt::LeftButton) emit clicked();
}

void ClickLabel::keyPressEvent(QKeyEvent *e)
{
    const int k = e->key();
    if ((k == Qt::Key_Space || k == Qt::Key_Return || k == Qt::Key_Enter) && !e->isAutoRepeat() &&
        !(e->modifiers() & ~Qt::KeypadModifier)) {
        e->accept();
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(e);
}

void ClickLabel::paintEvent(QPaintEvent *e)
{
    QLabel::paintEvent(e);
    if (!hasFocus()) return;
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

LineElement::LineElement(QWidget *parent, QColor color, Qt::PenStyle style)
    : QWidget(parent), color_(color), style_(style)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineElement::setTwips(double x1, double y1, double x2, double y2)
{
    vertical_ = x1 == x2;
    placement::placeLine(this, x1, y1, x2, y2);
}

void LineElement::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(QPen(color_, 1, style_));
    if (vertical_)
        p.drawLine(0, 0, 0, height());
    else
        p.drawLine(0, 0, width(), 0);
}
