#pragma once
// The detail plot of the journal browser and its navigation: the wheel
// zooms about the mouse (the time axis; with Ctrl the value axis), a left
// drag pans, a double click shows the whole journal again; the arrows pan,
// + and − zoom, Home and End go to the start and the end. Ctrl + left click
// places the marker A, Ctrl + right click the marker B, Escape takes them
// away.

#include "viewer/plot_painter.h"

#include <QImage>
#include <QWidget>

namespace viewer {

class JournalPlot : public QWidget {
    Q_OBJECT
public:
    explicit JournalPlot(QWidget *parent = nullptr);

    // The journal shown (nothing: an empty plot with `note` in its middle).
    void setModel(const JournalModel *model);
    void setNote(const QString &note);
    const PlotState &state() const { return state_; }
    Span whole() const;
    void setSpan(const Span &s);  // kept within the journal
    void setValues(const ValueRange &v);
    void setShown(const std::array<bool, kChannels> &shown);
    void setMarkers(const SpanMarkers &m);
    void showWhole();  // the whole journal, values fitted
    void fitValues();

    static constexpr double kZoomStep = 0.8;  // one wheel notch or one "+"

signals:
    void spanChanged(const viewer::Span &span);
    void markersChanged(const viewer::SpanMarkers &markers);
    // The mouse is over time t (ms since the epoch); nothing: it left.
    void hovered(qint64 t, bool inside);
    void userMoved();  // the user moved the span himself

protected:
    void paintEvent(QPaintEvent *) override;
    void wheelEvent(QWheelEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void leaveEvent(QEvent *) override;

private:
    void moveTo(const Span &s);
    std::optional<qint64> markedTime(double x) const;

    PlotState state_;
    QImage frame_;
    QString note_;
    bool dragging_ = false;
    double dragX_ = 0;
    Span dragSpan_;
};

}  // namespace viewer
