#include "viewer/overview_widget.h"

#include "graph/layout.h"
#include "viewer/columns.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <cmath>

namespace viewer {

namespace {
constexpr int kEdgeGrip = 5;  // pixels each side of an edge of the frame
}

OverviewStrip::OverviewStrip(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("vueEnsemble"));
    setMinimumHeight(60);
    setMaximumHeight(60);
    setMouseTracking(true);
    later_ = new QTimer(this);
    later_->setSingleShot(true);
    later_->setInterval(kGrowthRedrawMs);
    connect(later_, &QTimer::timeout, this, &OverviewStrip::drawEnvelope);
}

QRect OverviewStrip::area() const
{
    // Lined up with the detail plot's time axis.
    const PlotGeometry g = plotGeometry(size());
    return QRect(g.analog.left(), 2, g.analog.width(), height() - 4);
}

Span OverviewStrip::whole() const
{
    if (!model_ || model_->data().empty()) return Span{0, 1};
    return Span{model_->data().firstTime(), model_->data().endTime()};
}

double OverviewStrip::xAt(qint64 t) const
{
    const QRect a = area();
    return a.left() + xOf(t, whole().t0, whole().t1, a.width());
}

qint64 OverviewStrip::timeAt(double x) const
{
    const QRect a = area();
    const Span w = whole();
    return w.t0 + qint64(std::llround((x - a.left()) * double(w.length()) / a.width()));
}

void OverviewStrip::setModel(const JournalModel *model)
{
    model_ = model;
    drawEnvelope();
}

void OverviewStrip::setShown(const std::array<bool, kChannels> &shown)
{
    shown_ = shown;
    drawEnvelope();
}

void OverviewStrip::setSpan(const Span &s)
{
    span_ = s;
    update();
}

void OverviewStrip::journalGrew()
{
    // A growing journal changes the strip little from one line to the next:
    // it is drawn again every few seconds, the frame at once.
    if (!later_->isActive()) later_->start();
    update();
}

void OverviewStrip::resizeEvent(QResizeEvent *) { drawEnvelope(); }

void OverviewStrip::drawEnvelope()
{
    const QRect a = area();
    envelope_ = QImage(a.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    envelope_.fill(graph::surfaceBackground());
    if (model_ && !model_->data().empty()) {
        QPainter p(&envelope_);
        const Span w = whole();
        const JournalData &d = model_->data();
        const auto spans = columnSpans(d.analogTime, w.t0, w.t1, a.width());
        const auto [low, high] = shownExtremes(*model_, shown_, w.t0, w.t1);
        const ValueRange v = fitted(low, high);
        auto y = [&](float value) { return (v.high - double(value)) / (v.high - v.low) * a.height(); };
        for (int k = 0; k < kChannels; ++k) {
            if (!shown_[size_t(k)]) continue;
            const auto ranges = columnRanges(model_->summary(k), d.analog[size_t(k)], spans);
            std::vector<QLineF> lines;
            lines.reserve(ranges.size());
            for (size_t c = 0; c < ranges.size(); ++c)
                if (!std::isnan(ranges[c].low))
                    lines.emplace_back(c + 0.5, y(ranges[c].high) - 0.5, c + 0.5, y(ranges[c].low) + 0.5);
            p.setPen(graph::traceColor(k));
            p.drawLines(lines.data(), int(lines.size()));
        }
    }
    update();
}

void OverviewStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(240, 240, 240));
    const QRect a = area();
    p.drawImage(a.topLeft(), envelope_);
    if (!model_ || model_->data().empty()) return;
    const double x0 = std::floor(xAt(span_.t0)), x1 = std::ceil(xAt(span_.t1));
    const QRectF frame(x0, a.top(), std::max(3.0, x1 - x0), a.height() - 1);
    p.fillRect(frame, QColor(255, 255, 255, 70));
    p.setPen(QPen(QColor(0, 0, 128), 2));
    p.drawRect(frame);
}

void OverviewStrip::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !model_) return;
    const double x = e->position().x();
    const double x0 = xAt(span_.t0), x1 = xAt(span_.t1);
    dragX_ = x;
    if (std::abs(x - x0) <= kEdgeGrip && std::abs(x - x0) <= std::abs(x - x1)) {
        drag_ = Drag::Left;
    } else if (std::abs(x - x1) <= kEdgeGrip) {
        drag_ = Drag::Right;
    } else if (x > x0 && x < x1) {
        drag_ = Drag::Move;
    } else {
        // Elsewhere: the span comes to be centred there, and may be dragged on.
        emit spanRequested(centred(span_, timeAt(x), whole()));
        drag_ = Drag::Move;
    }
    dragSpan_ = span_;
}

void OverviewStrip::mouseMoveEvent(QMouseEvent *e)
{
    const double x = e->position().x();
    if (drag_ == Drag::None) {
        const bool edge =
            model_ && (std::abs(x - xAt(span_.t0)) <= kEdgeGrip || std::abs(x - xAt(span_.t1)) <= kEdgeGrip);
        setCursor(edge ? Qt::SizeHorCursor : Qt::ArrowCursor);
        return;
    }
    const Span w = whole();
    const qint64 t = timeAt(x);
    Span s = dragSpan_;
    if (drag_ == Drag::Move) {
        s = panned(dragSpan_, timeAt(x) - timeAt(dragX_), w);
    } else if (drag_ == Drag::Left) {
        s.t0 = std::clamp(t, w.t0, s.t1 - kShortestSpan);
    } else {
        s.t1 = std::clamp(t, s.t0 + kShortestSpan, w.t1);
    }
    emit spanRequested(s);
}

void OverviewStrip::mouseReleaseEvent(QMouseEvent *) { drag_ = Drag::None; }

}  // namespace viewer
