#pragma once
// Picture1: the drawing surface of the graph. A sunken box whose inner area
// shows the persistent image of the traces and, over it, the fixed overlay:
// axes, dotted rules, value figures, channel legends, readouts and cursors.
// Mouse positions are handed on in twips of the inner area.

#include "graph/image_surface.h"
#include "graph/layout.h"
#include "graph/markers.h"
#include "ui/placement.h"

#include <QFrame>
#include <QImage>
#include <array>
#include <memory>
#include <vector>

class QLabel;

class PictureWidget : public QFrame, public placement::ScaleAware {
    Q_OBJECT
public:
    explicit PictureWidget(QWidget *parent = nullptr);
    ~PictureWidget() override;

    ImageSurface &surface() { return *surface_; }
    // A copy of what has been drawn so far.
    QImage image() const;

    graph::Overlay &overlay() { return overlay_; }
    const graph::Overlay &overlay() const { return overlay_; }
    // Moves, shows and captions the overlay elements after a layout.
    void applyOverlay();

    QLabel *legend(int slot) const;
    QLabel *figure(int i) const;
    QLabel *Label64() const { return Label64_; }
    QLabel *Label59() const { return Label59_; }
    void setLegendBorder(int slot, bool on);

    // curseur: vertical at x from 5040 up to 60; curseur_h: horizontal at y
    // from 960 to 11520.
    void setCursorX(double x);
    void setCursorY(double y);
    double cursorX() const { return cursorX_; }
    double cursorY() const { return cursorY_; }
    void setCursorsVisible(bool on);
    bool cursorsVisible() const { return cursorsVisible_; }

    // The measuring markers the overlay draws, over the traces and under
    // nothing they could hide: they are no part of the image, so a new plot
    // leaves them standing.
    void setMarkers(std::vector<graph::MarkerLine> lines);
    const std::vector<graph::MarkerLine> &markers() const { return markers_; }

    // Repaints the area after drawing on the surface.
    void refresh();
    // The inner area, parent of the overlay labels.
    QWidget *area() const;
    // A point of the inner area (pixels) in twips of the surface.
    QPointF toTwips(QPointF px) const;
    void scaleChanged(double scale) override;

    // Qt buttons and modifiers as the handlers number them (1 left, 2 right,
    // 4 middle; 1 shift, 2 control, 4 alt).
    static int buttonCode(Qt::MouseButtons b);
    static int shiftCode(Qt::KeyboardModifiers m);

signals:
    void mouseMoved(int button, int shift, double x, double y);
    void mousePressed(int button, int shift, double x, double y);
    void keyPressed(int key, int shift);  // the area has the keyboard after a click
    void legendClicked(int slot);
    void legendMoved(int slot);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Area;
    friend class Area;
    void paintArea(QPainter &p);

    Area *area_ = nullptr;
    std::unique_ptr<ImageSurface> surface_;
    graph::Overlay overlay_;
    std::array<QLabel *, 8> Label56_{};
    std::array<QLabel *, graph::kFigures> Label58_{};
    QLabel *Label64_ = nullptr;
    QLabel *Label59_ = nullptr;
    double cursorX_ = 1800;
    double cursorY_ = 2580;
    bool cursorsVisible_ = false;
    std::vector<graph::MarkerLine> markers_;
    int legendDoubleClicked_ = -1;  // the legend whose double click is under way
    double scale_ = 1.0;
};
