#include "ui/form_parts.h"

#include "engine/frame_engine.h"
#include "ui/controls.h"
#include "ui/placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyleOptionButton>

namespace ui {
namespace {

// The panel's buttons are narrow: like the board's original panel they break
// a long caption over two lines instead of cutting it.
class WrappingButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        const QString caption = opt.text;
        const QVariant back = property("backColor");
        if (back.isValid()) {
            // A colour of its own: the face in that colour inside a thin grey
            // frame, drawn here rather than by a style sheet, which would
            // replace the frame's font by the application's.
            p.fillRect(rect(), back.value<QColor>());
            p.setPen(QColor(128, 128, 128));
            p.drawRect(rect().adjusted(0, 0, -1, -1));
            if (isDown()) p.drawRect(rect().adjusted(1, 1, -2, -2));
        } else {
            opt.text.clear();
            style()->drawControl(QStyle::CE_PushButton, &opt, &p, this);
        }
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        // The margins follow the form's scale through the style.
        const int m = style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this) / 2;
        p.drawText(rect().adjusted(m, 1, -m, -1), Qt::AlignCenter | Qt::TextWordWrap, caption);
    }
};

}  // namespace

QLabel *caption(QWidget *parent, const QString &text, int l, int t, int w, int h, const QColor &colour)
{
    auto *label = new QLabel(text, parent);
    placement::place(label, l, t, w, h);
    // A caption may run past its drawn width rather than lose its last letters.
    placement::widen(label, label->sizeHint().width());
    if (colour.isValid()) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, colour);
        label->setPalette(p);
    }
    return label;
}

QLabel *valueLabel(QWidget *parent, const QString &name, const QString &text, int l, int t, int w, int h,
                   const QColor &colour)
{
    QLabel *label = caption(parent, text, l, t, w, h, colour);
    label->setObjectName(name);
    label->setFrameShape(QFrame::Box);
    label->setLineWidth(1);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QLineEdit *textBox(QWidget *parent, const QString &name, const QString &text, int l, int t, int w, int h)
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setTextMargins(0, 0, 0, 0);
    placement::place(box, l, t, w, h);
    return box;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, int l, int t, int w, int h)
{
    auto *b = new WrappingButton(text, parent);
    b->setProperty("wordWrap", true);
    b->setObjectName(name);
    placement::place(b, l, t, w, h);
    return b;
}

QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &text, int l, int t, int w, int h)
{
    auto *c = new QCheckBox(text, parent);
    c->setObjectName(name);
    placement::place(c, l, t, w, h);
    return c;
}

QComboBox *comboBox(QWidget *parent, const QString &name, const QStringList &entries, int l, int t, int w, int h)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems(entries);
    placement::place(c, l, t, w, h);
    return c;
}

QLabel *label(QWidget *parent, const QString &text, QRectF r, const char *name)
{
    auto *l = new QLabel(text, parent);
    placement::place(l, r.x(), r.y(), r.width(), r.height());
    if (name) l->setObjectName(QString::fromLatin1(name));
    return l;
}

QWidget *verticalLine(QWidget *parent, double x, double top, double bottom, const QColor &colour)
{
    auto *line = new LineElement(parent, colour);
    line->setTwips(x, top, x, bottom);
    return line;
}

void setBackColour(QPushButton *b, const QColor &c)
{
    b->setProperty("backColor", c);
    QPalette p = b->palette();
    p.setColor(QPalette::Button, c);
    b->setPalette(p);
    b->update();
}

QColor backColour(const QPushButton *b)
{
    const QVariant v = b->property("backColor");
    return v.isValid() ? v.value<QColor>() : b->palette().color(QPalette::Button);
}

void setQuietly(QCheckBox *box, bool checked)
{
    const QSignalBlocker quiet(box);
    box->setChecked(checked);
}

void setQuietly(QLineEdit *box, const QString &text)
{
    if (box->text() == text) return;  // the cursor stays where the user left it
    const QSignalBlocker quiet(box);
    box->setText(text);
}

void setQuietly(QComboBox *list, int position)
{
    if (list->currentIndex() == position) return;  // a typed text stays
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(position);
}

void showPanelMode(const FrameEngine &engine, const PanelView &v)
{
    setQuietly(v.intervals, engine.intervalIndex());
    setQuietly(v.cyclic, engine.cyclicAuto());
    setQuietly(v.programmed, engine.programmedAuto());
    setQuietly(v.days, engine.dayIndex());
    setQuietly(v.hour, engine.hourText());
    if (engine.programme() != FrameEngine::Programme::Plain) {
        const QColor colour = engine.programme() == FrameEngine::Programme::Armed ? kArmedRed : kIdleGrey;
        if (backColour(v.programButton) != colour || !v.programButton->property("backColor").isValid())
            setBackColour(v.programButton, colour);
    }
}

void showPanel(QWidget *panel)
{
    placement::setHeight(panel, 1875);
    panel->raise();
    panel->show();
}

}  // namespace ui
