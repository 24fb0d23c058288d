#pragma once
// The strip over the detail plot: the whole journal, the extremes of each
// shown channel in its colour, and a frame round the span shown below. Drag
// the frame to move it, drag an edge to stretch it, click elsewhere to bring
// the span's middle there.

#include "viewer/plot_painter.h"

#include <QImage>
#include <QWidget>

class QTimer;

namespace viewer {

class OverviewStrip : public QWidget {
    Q_OBJECT
public:
    explicit OverviewStrip(QWidget *parent = nullptr);

    void setModel(const JournalModel *model);
    void setShown(const std::array<bool, kChannels> &shown);
    void setSpan(const Span &s);
    void journalGrew();  // the envelope is drawn again within kGrowthRedrawMs
    static constexpr int kGrowthRedrawMs = 5000;
    // The strip's inner area and its time scale, for the tests.
    QRect area() const;
    double xAt(qint64 t) const;

signals:
    void spanRequested(const viewer::Span &span);

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    enum class Drag { None, Move, Left, Right };
    Span whole() const;
    qint64 timeAt(double x) const;
    void drawEnvelope();

    const JournalModel *model_ = nullptr;
    std::array<bool, kChannels> shown_{};
    Span span_;
    QImage envelope_;
    QTimer *later_ = nullptr;
    Drag drag_ = Drag::None;
    double dragX_ = 0;
    Span dragSpan_;
};

}  // namespace viewer
