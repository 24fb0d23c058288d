#include "viewer/journal_plot_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace viewer {

JournalPlot::JournalPlot(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tracé"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(400, 260);
    setAttribute(Qt::WA_OpaquePaintEvent);
    state_.shown[0] = true;
}

void JournalPlot::setModel(const JournalModel *model)
{
    state_.model = model;
    update();
}

void JournalPlot::setNote(const QString &note)
{
    note_ = note;
    update();
}

Span JournalPlot::whole() const
{
    if (!state_.model || state_.model->data().empty()) return Span{0, 1};
    return Span{state_.model->data().firstTime(), state_.model->data().endTime()};
}

void JournalPlot::setSpan(const Span &s)
{
    const Span c = clamped(s, whole());
    if (c == state_.span) return;
    state_.span = c;
    update();
    emit spanChanged(c);
}

void JournalPlot::setValues(const ValueRange &v)
{
    state_.values = v;
    update();
}

void JournalPlot::setShown(const std::array<bool, kChannels> &shown)
{
    state_.shown = shown;
    fitValues();
}

void JournalPlot::setMarkers(const SpanMarkers &m)
{
    if (m == state_.markers) return;
    state_.markers = m;
    update();
    emit markersChanged(m);
}

void JournalPlot::fitValues()
{
    if (!state_.model) return;
    const Span w = whole();
    const auto [low, high] = shownExtremes(*state_.model, state_.shown, w.t0, w.t1);
    setValues(fitted(low, high));
}

void JournalPlot::showWhole()
{
    setSpan(whole());
    fitValues();
}

void JournalPlot::moveTo(const Span &s)
{
    const Span before = state_.span;
    setSpan(s);
    if (state_.span != before) emit userMoved();
}

void JournalPlot::paintEvent(QPaintEvent *)
{
    // Drawn on an image of its own, where the traces are set pixel by pixel,
    // then put on the screen in one go.
    if (frame_.size() != size()) frame_ = QImage(size(), QImage::Format_RGB32);
    {
        QPainter ip(&frame_);
        ip.setFont(font());
        paintPlot(ip, size(), state_);
    }
    QPainter p(this);
    p.drawImage(0, 0, frame_);
    if (!note_.isEmpty()) {
        p.setPen(Qt::black);
        p.drawText(plotGeometry(size()).analog, Qt::AlignCenter | Qt::TextWordWrap, note_);
    }
}

void JournalPlot::wheelEvent(QWheelEvent *e)
{
    if (!state_.model) return;
    const double notches = e->angleDelta().y() / 120.0;
    if (notches == 0) return;
    const double factor = std::pow(kZoomStep, notches);
    const PlotGeometry g = plotGeometry(size());
    if (e->modifiers() & Qt::ControlModifier) {
        setValues(zoomedValues(state_.values, factor, valueAtY(g, state_.values, e->position().y())));
    } else {
        moveTo(zoomed(state_.span, factor, timeAtX(g, state_.span, e->position().x()), whole()));
    }
    e->accept();
}

std::optional<qint64> JournalPlot::markedTime(double x) const
{
    const qint64 t = timeAtX(plotGeometry(size()), state_.span, x);
    const JournalData &d = state_.model->data();
    // The analog line nearest the mouse; the logic one in a journal without.
    const std::optional<qint64> i = nearestSample(d.analogTime.empty() ? d.logicTime : d.analogTime, t);
    if (!i) return std::nullopt;
    return (d.analogTime.empty() ? d.logicTime : d.analogTime)[size_t(*i)];
}

void JournalPlot::mousePressEvent(QMouseEvent *e)
{
    setFocus(Qt::MouseFocusReason);
    if (!state_.model) return;
    if (e->modifiers() & Qt::ControlModifier) {
        if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
        SpanMarkers m = state_.markers;
        (e->button() == Qt::LeftButton ? m.a : m.b) = markedTime(e->position().x());
        setMarkers(m);
        return;
    }
    if (e->button() == Qt::LeftButton) {
        dragging_ = true;
        dragX_ = e->position().x();
        dragSpan_ = state_.span;
        setCursor(Qt::ClosedHandCursor);
    }
}

void JournalPlot::mouseMoveEvent(QMouseEvent *e)
{
    if (!state_.model) return;
    const PlotGeometry g = plotGeometry(size());
    if (dragging_) {
        const double msPerPixel = double(dragSpan_.length()) / g.analog.width();
        moveTo(panned(dragSpan_, -qint64(std::llround((e->position().x() - dragX_) * msPerPixel)), whole()));
    }
    const bool inside = e->position().x() >= g.analog.left() && e->position().x() <= g.analog.right();
    emit hovered(timeAtX(g, state_.span, e->position().x()), inside);
}

void JournalPlot::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        unsetCursor();
    }
}

void JournalPlot::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !state_.model) return;
    const Span before = state_.span;
    showWhole();
    if (state_.span != before) emit userMoved();
}

void JournalPlot::keyPressEvent(QKeyEvent *e)
{
    if (!state_.model) return QWidget::keyPressEvent(e);
    const Span s = state_.span;
    const qint64 step = std::max<qint64>(1, s.length() / 10);
    const qint64 middle = s.t0 + s.length() / 2;
    switch (e->key()) {
    case Qt::Key_Left:
        return moveTo(panned(s, -step, whole()));
    case Qt::Key_Right:
        return moveTo(panned(s, step, whole()));
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return moveTo(zoomed(s, kZoomStep, middle, whole()));
    case Qt::Key_Minus:
        return moveTo(zoomed(s, 1 / kZoomStep, middle, whole()));
    case Qt::Key_Home:
        return moveTo(Span{whole().t0, whole().t0 + s.length()});
    case Qt::Key_End:
        return moveTo(Span{whole().t1 - s.length(), whole().t1});
    case Qt::Key_Escape:
        return setMarkers(SpanMarkers{});
    default:
        QWidget::keyPressEvent(e);
    }
}

void JournalPlot::leaveEvent(QEvent *) { emit hovered(0, false); }

}  // namespace viewer
