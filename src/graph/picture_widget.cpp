#include "graph/picture_widget.h"

#include "ui/placement.h"
#include "ui/twips.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <utility>

namespace {

const QColor kAxisGreen(0, 64, 0);
const QColor kRuleGrey(128, 128, 128);
const QColor kCursorCyan(192, 255, 255);
const QColor kValueYellow(255, 255, 192);
const QColor kNumberCyan(192, 255, 255);

constexpr double kCursorTop = 60;       // curseur runs from the time axis up to here
constexpr double kCursorLeft = 960;     // curseur_h runs from the value axis …
constexpr double kCursorRight = 11520;  // … to the end of the time axis

QPen cosmetic(const QColor &c, Qt::PenStyle style = Qt::SolidLine)
{
    QPen pen(c, 1, style);
    pen.setCosmetic(true);
    return pen;
}

// A label whose frame is drawn in black while its text keeps its own colour.
void colourText(QLabel *l, const QColor &text)
{
    QPalette pal = l->palette();
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(pal);
    l->setForegroundRole(QPalette::Text);
}

}  // namespace

// The inner area of the box: paints the image and the overlay, reports the mouse.
class PictureWidget::Area : public QWidget {
public:
    explicit Area(PictureWidget *owner) : QWidget(owner), owner_(owner)
    {
        setObjectName(QStringLiteral("Picture1_area"));
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::ClickFocus);  // for Escape after a click
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        owner_->paintArea(p);
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        const QPointF t = owner_->toTwips(e->position());
        emit owner_->mouseMoved(buttonCode(e->buttons()), shiftCode(e->modifiers()), t.x(), t.y());
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        const QPointF t = owner_->toTwips(e->position());
        emit owner_->mousePressed(buttonCode(e->button()), shiftCode(e->modifiers()), t.x(), t.y());
    }
    void keyPressEvent(QKeyEvent *e) override
    {
        emit owner_->keyPressed(e->key(), shiftCode(e->modifiers()));
        QWidget::keyPressEvent(e);
    }
    // The second press of a double click is not a press of its own: a double
    // click zooms (or returns) once, like a single click.
    void mouseDoubleClickEvent(QMouseEvent *e) override { e->accept(); }

private:
    PictureWidget *owner_;
};

PictureWidget::PictureWidget(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(twipsToPx(graph::kBorder));
    placement::place(this, 120, 300, graph::kSurfaceOuterW, graph::kSurfaceOuterH);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, graph::surfaceBackground());
    setPalette(pal);

    area_ = new Area(this);
    area_->setGeometry(contentsRect());
    surface_ = std::make_unique<ImageSurface>(QSizeF(graph::kAreaW, graph::kAreaH), area_->devicePixelRatioF(),
                                              graph::surfaceBackground());
    surface_->setColor(graph::startForeground());
    surface_->setFont(font());

    overlay_ = graph::designOverlay();
    for (int k = 0; k < 8; ++k) {
        auto *l = new QLabel(area_);
        l->setObjectName(QStringLiteral("Label56_%1").arg(k));
        colourText(l, graph::legendColor(k));
        l->setMouseTracking(true);
        l->installEventFilter(this);
        // A label takes no mouse event itself, and Qt would hand what it
        // ignores to the surface below: a legend's clicks and moves are its own.
        l->setAttribute(Qt::WA_NoMousePropagation);
        Label56_[size_t(k)] = l;
    }
    for (int i = 0; i < graph::kFigures; ++i) {
        auto *l = new QLabel(area_);
        l->setObjectName(QStringLiteral("Label58_%1").arg(i));
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        Label58_[size_t(i)] = l;
    }
    auto readout = [this](const char *name, const QString &text, const QColor &back, double left, double width) {
        auto *l = new QLabel(text, area_);
        l->setObjectName(QString::fromLatin1(name));
        colourText(l, palette().color(QPalette::Highlight));
        QPalette pal = l->palette();
        pal.setColor(QPalette::Window, back);
        l->setPalette(pal);
        l->setAutoFillBackground(true);
        l->setFrameShape(QFrame::Box);
        l->setAlignment(Qt::AlignCenter);
        placement::place(l, left, 5100, width, 315);
        // The cursors keep following the mouse over the readouts.
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        return l;
    };
    Label64_ = readout("Label64", QStringLiteral("0"), kValueYellow, 5040, 1215);
    Label59_ = readout("Label59", QStringLiteral("Acquisition N° :"), kNumberCyan, 6480, 1755);
    applyOverlay();
}

PictureWidget::~PictureWidget() = default;

QImage PictureWidget::image() const { return surface_->image().copy(); }

QLabel *PictureWidget::legend(int slot) const { return Label56_[size_t(slot & 7)]; }

QLabel *PictureWidget::figure(int i) const { return Label58_[size_t(i)]; }

void PictureWidget::applyOverlay()
{
    for (int k = 0; k < 8; ++k) {
        const auto s = size_t(k);
        Label56_[s]->setText(overlay_.legendText[s]);
        placement::place(Label56_[s], overlay_.legendLeft[s], overlay_.legendTop[s], graph::kLegendWidth,
                         graph::legendHeight(k));
    }
    for (int i = 0; i < graph::kFigures; ++i) {
        const auto s = size_t(i);
        Label58_[s]->setText(overlay_.figureText[s]);
        placement::place(Label58_[s], overlay_.figureLeft[s], overlay_.figureTop[s], graph::kFigureWidth,
                         graph::kFigureHeight);
        Label58_[s]->setVisible(overlay_.figureVisible[s]);
    }
    area_->update();
}

void PictureWidget::setLegendBorder(int slot, bool on)
{
    legend(slot)->setFrameShape(on ? QFrame::Box : QFrame::NoFrame);
}

void PictureWidget::setCursorX(double x)
{
    if (x == cursorX_) return;
    cursorX_ = x;
    if (cursorsVisible_) area_->update();
}

void PictureWidget::setCursorY(double y)
{
    if (y == cursorY_) return;
    cursorY_ = y;
    if (cursorsVisible_) area_->update();
}

void PictureWidget::setCursorsVisible(bool on)
{
    if (on == cursorsVisible_) return;
    cursorsVisible_ = on;
    area_->update();
}

QWidget *PictureWidget::area() const { return area_; }

QPointF PictureWidget::toTwips(QPointF px) const { return px * kTwipsPerPixel / scale_; }

// The box, its border and the drawing area grow with the form; what has been
// drawn is drawn again at the new size from its twips, so the traces keep
// their places and their pixel thickness.
void PictureWidget::scaleChanged(double scale)
{
    scale_ = scale;
    setLineWidth(twipsToPx(graph::kBorder, scale));
    area_->setGeometry(contentsRect());
    surface_->setFont(font());
    surface_->setScale(scale, area_->devicePixelRatioF());
    area_->update();
}

void PictureWidget::refresh() { area_->update(); }

void PictureWidget::setMarkers(std::vector<graph::MarkerLine> lines)
{
    auto same = [](const graph::MarkerLine &a, const graph::MarkerLine &b) {
        return a.line == b.line && a.label == b.label;
    };
    if (std::equal(lines.begin(), lines.end(), markers_.begin(), markers_.end(), same)) return;
    markers_ = std::move(lines);
    area_->update();
}

int PictureWidget::buttonCode(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

int PictureWidget::shiftCode(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

bool PictureWidget::eventFilter(QObject *watched, QEvent *event)
{
    for (int k = 0; k < 8; ++k) {
        if (watched != Label56_[size_t(k)]) continue;
        switch (event->type()) {
        case QEvent::MouseMove:
            emit legendMoved(k);
            break;
        case QEvent::MouseButtonDblClick:
            // The release that ends a double click is not a second click.
            legendDoubleClicked_ = k;
            break;
        case QEvent::MouseButtonRelease: {
            auto *e = static_cast<QMouseEvent *>(event);
            const bool second = std::exchange(legendDoubleClicked_, -1) == k;
            if (!second && e->button() == Qt::LeftButton &&
                Label56_[size_t(k)]->rect().contains(e->position().toPoint()))
                emit legendClicked(k);
            break;
        }
        default:
            break;
        }
        break;
    }
    return QFrame::eventFilter(watched, event);
}

void PictureWidget::paintArea(QPainter &p)
{
    const QImage &drawn = surface_->image();
    const QSizeF shown = drawn.deviceIndependentSize();
    if (shown.width() < area_->width() || shown.height() < area_->height())
        p.fillRect(area_->rect(), graph::surfaceBackground());  // a pixel lost to rounding
    p.drawImage(QPointF(0, 0), drawn);
    p.scale(scale_ / kTwipsPerPixel, scale_ / kTwipsPerPixel);

    p.setPen(cosmetic(kRuleGrey, Qt::DotLine));
    for (const graph::Rule &r : overlay_.line31)
        if (r.visible) p.drawLine(QPointF(r.x1, r.y1), QPointF(r.x2, r.y2));

    p.setPen(cosmetic(kAxisGreen));
    p.drawLine(QPointF(graph::kValueAxisX, 0), QPointF(graph::kValueAxisX, graph::kValueAxisBottom));  // Line29
    p.drawLine(QPointF(graph::kTimeAxisX1, graph::kTimeAxisY),
               QPointF(graph::kTimeAxisX2, graph::kTimeAxisY));  // Line30
    p.setPen(cosmetic(Qt::black));
    p.drawLine(QPointF(graph::kValueAxisX, 4980), QPointF(graph::kValueAxisX, 5100));  // Line32

    if (cursorsVisible_) {
        p.setPen(cosmetic(kCursorCyan, Qt::DotLine));
        p.drawLine(QPointF(cursorX_, graph::kTimeAxisY), QPointF(cursorX_, kCursorTop));  // curseur
        p.drawLine(QPointF(kCursorLeft, cursorY_), QPointF(kCursorRight, cursorY_));      // curseur_h
    }

    for (const graph::MarkerLine &m : markers_) {
        QPen pen = cosmetic(m.colour, Qt::DashLine);
        pen.setWidth(2);
        p.setPen(pen);
        p.drawLine(m.line);
    }
    // The letters in the surface's font made bold, in their boxes taken to
    // pixels by the same transform as the lines.
    const QTransform toPixels = p.transform();
    p.resetTransform();
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    for (const graph::MarkerLine &m : markers_) {
        p.setPen(m.colour);
        p.drawText(toPixels.mapRect(m.labelBox), int(m.labelRight ? Qt::AlignLeft : Qt::AlignRight) | int(Qt::AlignTop),
                   m.label);
    }
}
