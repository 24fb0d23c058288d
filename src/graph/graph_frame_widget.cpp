#include "graph/graph_frame_widget.h"

#include "acquisition/tables.h"
#include "graph/measures_widget.h"
#include "graph/picture_widget.h"
#include "ui/form_parts.h"
#include "ui/placement.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <utility>

namespace {

const QString kLegendHelp = QStringLiteral("En analogique, cliquer pour permettre le tracé de cette voie");
const QString kCoeffHelp =
    QStringLiteral("Le coefficient = 1 pour une tension d'entrée de 5V pour une tension de 10 V en entrée mettre le "
                   "coeff 2, pour une tension de 0.5 V mettre 0,1 etc.");
const QString kPlotHelp =
    QStringLiteral("Trace le graphique des acquisitions analogiques ou logiques - Selectionner les entrées à tracer en "
                   "cliquant sur voie1 à voie 8");
const QString kRandomHelp = QStringLiteral("Remplissage les tableaux de valeurs avec des nombres aléatoires");
const QString kLiveHelp = QStringLiteral("Redessine le graphique à chaque acquisition mémorisée");

constexpr double kFrameHeight = 8235;

template <class W>
W *place(W *w, const char *name, double l, double t, double width, double h)
{
    w->setObjectName(QString::fromLatin1(name));
    placement::place(w, l, t, width, h);
    return w;
}

QLabel *caption(QWidget *parent, const char *name, const QString &text, double l, double t, double w, double h)
{
    return place(new QLabel(text, parent), name, l, t, w, h);
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, double l, double t)
{
    return place(new QPushButton(text, parent), name, l, t, 1575, 380);
}

QScrollBar *scrollBar(QWidget *parent, const char *name, int min, int max, int value, double l, double t, double w)
{
    auto *s = place(new QScrollBar(Qt::Horizontal, parent), name, l, t, w, 255);
    s->setRange(min, max);
    s->setValue(value);
    return s;
}

// A vertical separator one pixel wide in the highlight colour.
void separator(QWidget *parent, int i, double x, double top, double bottom)
{
    ui::verticalLine(parent, x, top, bottom, parent->palette().color(QPalette::Highlight))
        ->setObjectName(QStringLiteral("Line34_%1").arg(i));
}

}  // namespace

GraphFrame::GraphFrame(Tables &tables, QWidget *parent)
    : QGroupBox(QStringLiteral("Mode graphique"), parent), tables_(tables)
{
    setObjectName(QStringLiteral("Frame6"));
    setAutoFillBackground(true);  // the frame covers the inputs while it is shown
    Picture1_ = new PictureWidget(this);
    buildCommands();

    connect(Picture1_, &PictureWidget::mouseMoved, this, &GraphFrame::Picture1_MouseMove);
    connect(Picture1_, &PictureWidget::mousePressed, this, &GraphFrame::Picture1_MouseDown);
    connect(Picture1_, &PictureWidget::legendClicked, this, &GraphFrame::Label56_Click);
    connect(Picture1_, &PictureWidget::legendMoved, this, &GraphFrame::Label56_MouseMove);
    connect(Picture1_, &PictureWidget::keyPressed, this, &GraphFrame::Picture1_KeyDown);
    connect(Command3_, &QPushButton::clicked, this, &GraphFrame::clearMarkers);
    connect(Command23_, &QPushButton::clicked, this, &GraphFrame::clearMarkers);

    startupLayout();
}

GraphFrame::~GraphFrame()
{
    // Closing the window takes the focus from the coefficient box, whose end
    // of editing would otherwise reach a frame already half destroyed.
    coeff_->disconnect(this);
}

void GraphFrame::buildCommands()
{
    Frame7_ = place(new QGroupBox(QStringLiteral("Commandes"), this), "Frame7", 120, 5880, 11595, 2295);
    QWidget *f = Frame7_;

    Option1_ = place(new QRadioButton(QStringLiteral("Entrées Analogiques"), f), "Option1", 240, 660, 1935, 255);
    Option2_ = place(new QRadioButton(QStringLiteral("Entrées Logiques"), f), "Option2", 240, 1200, 1935, 375);
    Option2_->setChecked(true);
    separator(f, 0, 2460, 660, 1800);
    // The panel's own: in the free room under "Entrées Logiques", left of the separator.
    suivi_ = place(new QCheckBox(QStringLiteral("Suivi en direct"), f), "suivi_direct", 240, 1620, 2100, 255);
    suivi_->setMouseTracking(true);
    suivi_->installEventFilter(this);

    caption(f, "Label60", QStringLiteral("Nbre d'acquisitions : "), 2760, 420, 1575, 255);
    HScroll1_ = scrollBar(f, "HScroll1", Tables::kMinAcqui, Tables::kMaxAcqui, 100, 2700, 720, 1095);
    Label61_ = caption(f, "Label61", QStringLiteral("100"), 4020, 780, 270, 195);
    // Its design box holds three figures; the largest count has four.
    Label61_->setMinimumWidth(Label61_->fontMetrics().horizontalAdvance(QString::number(Tables::kMaxAcqui)) + 1);
    caption(f, "Label65", QStringLiteral("Coeff :"), 2760, 1200, 555, 255);
    coeff_ = place(new QLineEdit(QStringLiteral("1"), f), "coeff", 2700, 1500, 675, 285);
    coeff_->setMouseTracking(true);
    coeff_->installEventFilter(this);
    separator(f, 1, 4680, 720, 1860);

    caption(f, "Label62_0", QStringLiteral("Epaisseur tracé : "), 4980, 420, 1575, 255);
    HScroll2_ = scrollBar(f, "HScroll2", 1, 5, 1, 4920, 780, 1155);
    Label63_ = caption(f, "Label63", QStringLiteral("1"), 6300, 780, 90, 195);
    // The caption grows when the figure needs more room than its design box.
    Label63_->setMinimumWidth(Label63_->fontMetrics().horizontalAdvance(QStringLiteral("5")) + 1);
    Check9_ = place(new QCheckBox(QStringLiteral("Curseurs"), f), "Check9", 4980, 1500, 1455, 255);
    separator(f, 2, 6720, 720, 1860);

    Command26_ =
        place(new QPushButton(QStringLiteral("Tableau analogique N° 1"), f), "Command26", 6960, 300, 2535, 315);
    Text5_ = place(new QPlainTextEdit(f), "Text5", 6960, 660, 2535, 1275);
    Text5_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    {
        QPalette pal = Text5_->palette();
        pal.setColor(QPalette::Base, QColor(192, 255, 192));
        Text5_->setPalette(pal);
    }

    Command24_ = button(f, "Command24", QStringLiteral("Tracer"), 9960, 240);
    Command23_ = button(f, "Command23", QStringLiteral("Aléatoire"), 9960, 660);
    Command3_ = button(f, "Command3", QStringLiteral("RAZ tableaux"), 9960, 1080);
    Command25_ = button(f, "Command25", QStringLiteral("Retour"), 9960, 1500);
    for (QPushButton *b : {Command24_, Command23_}) {
        b->setMouseTracking(true);
        b->installEventFilter(this);
    }

    aide_ = caption(f, "aide", QStringLiteral("Aide"), 60, 1980, 11475, 255);
    {
        QPalette pal = aide_->palette();
        pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
        aide_->setPalette(pal);
    }

    connect(Option1_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option1_Click();
    });
    connect(Option2_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option2_Click();
    });
    connect(HScroll1_, &QScrollBar::valueChanged, this, &GraphFrame::HScroll1_Change);
    connect(HScroll2_, &QScrollBar::valueChanged, this, &GraphFrame::HScroll2_Change);
    // Enter, or the focus leaving the box.
    connect(coeff_, &QLineEdit::editingFinished, this, &GraphFrame::coeff_LostFocus);
    connect(Check9_, &QCheckBox::stateChanged, this, &GraphFrame::Check9_Click);
    connect(Command24_, &QPushButton::clicked, this, &GraphFrame::Command24_Click);
    connect(Command25_, &QPushButton::clicked, this, &GraphFrame::Command25_Click);
}

bool GraphFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == coeff_)
            coeff_MouseMove();
        else if (watched == Command24_)
            Command24_MouseMove();
        else if (watched == Command23_)
            Command23_MouseMove();
        else if (watched == suivi_)
            suivi_MouseMove();
    }
    return QGroupBox::eventFilter(watched, event);
}

bool GraphFrame::analog() const { return Option1_->isChecked(); }

void GraphFrame::showView()
{
    placement::setHeight(this, kFrameHeight);
    show();
    raise();
    // The measures come back with the graph they belong to.
    if (std::exchange(measuresHidden_, false) && Mesures_ && markers_.any()) Mesures_->appear();
}

QImage GraphFrame::surfaceImage() const { return Picture1_->image(); }

void GraphFrame::clearSurface()
{
    Picture1_->surface().clear();
    Picture1_->refresh();
}

// ---------------------------------------------------------------- layouts and controls

void GraphFrame::startupLayout()
{
    graph::startupLayout(Picture1_->overlay());
    Picture1_->applyOverlay();
}

void GraphFrame::Option1_Click()
{
    clearSurface();
    graph::analogLayout(Picture1_->overlay());
    Picture1_->applyOverlay();
    showMarkers();
}

void GraphFrame::Option2_Click()
{
    clearSurface();
    graph::logicLayout(Picture1_->overlay());
    Picture1_->applyOverlay();
    showMarkers();
}

void GraphFrame::Command25_Click()
{
    hide();
    if (Mesures_ && Mesures_->isVisible()) {
        Mesures_->hide();
        measuresHidden_ = true;
    }
}

void GraphFrame::Label56_Click(int index)
{
    if (index < 0 || index > 7) return;
    int &flag = selection_[size_t(index)];
    flag = flag == 0 ? 1 : 0;
    Picture1_->setLegendBorder(index, flag == 1);
    showMarkers();
}

void GraphFrame::Label56_MouseMove(int index)
{
    if (index < 0 || index > 7) return;
    annotation_ = graph::legendColor(index);
    aide_->setText(kLegendHelp);
}

void GraphFrame::HScroll1_Change()
{
    Label61_->setText(QString::number(HScroll1_->value()));
    tables_.nbre_acqui = HScroll1_->value();
    showMarkers();
}

void GraphFrame::HScroll2_Change()
{
    Label63_->setText(QString::number(HScroll2_->value()));
    thickness_ = HScroll2_->value();
    Picture1_->surface().setWidth(thickness_);
}

void GraphFrame::coeff_LostFocus()
{
    const QString kept = graph::guardedCoefficient(coeff_->text());
    if (kept != coeff_->text()) coeff_->setText(kept);
    showMarkers();
}

QString GraphFrame::coefficient()
{
    // Being typed: the box keeps its text until the typing ends.
    if (!coeff_->hasFocus()) coeff_LostFocus();
    return graph::guardedCoefficient(coeff_->text());
}

void GraphFrame::coeff_MouseMove() { aide_->setText(kCoeffHelp); }
void GraphFrame::Command24_MouseMove() { aide_->setText(kPlotHelp); }
void GraphFrame::Command23_MouseMove() { aide_->setText(kRandomHelp); }
void GraphFrame::suivi_MouseMove() { aide_->setText(kLiveHelp); }

void GraphFrame::Check9_Click() { Picture1_->setCursorsVisible(Check9_->checkState() == Qt::Checked); }

// ---------------------------------------------------------------- plotting, cursors, zoom

void GraphFrame::Command24_Click()
{
    graph::fullView(Picture1_->surface(), tables_, analog(), selection_, coefficient(), zoom_);
    Picture1_->refresh();
    showMarkers();
}

void GraphFrame::Picture1_MouseMove(int, int, double X, double Y)
{
    Picture1_->setCursorX(X);
    Picture1_->setCursorY(Y);
    const graph::Readout r = graph::mouseMove(analog(), X, Y, coefficient(), tables_.nbre_acqui, zoom_);
    if (r.value && Picture1_->Label64()->text() != *r.value) Picture1_->Label64()->setText(*r.value);
    if (Picture1_->Label59()->text() != r.acquisition) Picture1_->Label59()->setText(r.acquisition);

    const int a = graph::acquisitionAt(X, tables_.nbre_acqui, zoom_);
    const QDateTime when = analog() ? tables_.times.analog(a) : tables_.times.logic(a);
    QString said;
    if (when.isValid()) said = QStringLiteral("Acquisition %1 — %2").arg(a).arg(acquisition::shownTime(when));
    if (said != hovered_) emit acquisitionHovered(said, std::exchange(hovered_, said));
}

void GraphFrame::Picture1_MouseDown(int button, int shift, double X, double Y)
{
    // Ctrl + left sets marker A, Ctrl + right marker B; the plain clicks zoom
    // and annotate.
    if ((shift & 2) != 0 && (button == 1 || button == 2)) {
        setMarker(button == 2, X);
        return;
    }
    ImageSurface &s = Picture1_->surface();
    switch (graph::mouseDown(analog(), button, zoom_)) {
    case graph::Click::Nothing:
        return;
    case graph::Click::Annotate:
        s.setColor(annotation_);
        s.text(QPointF(X + 40, Y), Picture1_->Label64()->text());
        s.line(QPointF(X, Y), QPointF(X, Y + 60));
        break;
    case graph::Click::FullView:
        Command24_Click();
        return;
    case graph::Click::Zoom:
        graph::zoomView(s, tables_, analog(), selection_, coefficient(), zoom_);
        showMarkers();
        break;
    }
    Picture1_->refresh();
}

void GraphFrame::Picture1_KeyDown(int key, int)
{
    if (key == Qt::Key_Escape) clearMarkers();
}

// ---------------------------------------------------------------- live view and markers

void GraphFrame::acquisitionDecoded(const acquisition::Acquired &a)
{
    if (a.slot < 0) return;  // not memorised: the tables are as they were
    const bool redraw =
        suivi_->isChecked() && isVisible() && (a.channel == Channel::Analog) == analog() && zoom_.mode_zoom == 0;
    if (redraw)
        Command24_Click();
    else if (markers_.any())
        showMarkers();  // a marked slot may have been written
}

void GraphFrame::setMarker(bool b, double X)
{
    (b ? markers_.b : markers_.a) = graph::markedAcquisition(X, tables_.nbre_acqui, zoom_);
    if (!Mesures_) Mesures_ = new MeasuresWindow(this);
    showMarkers();
    Mesures_->appear();
}

void GraphFrame::clearMarkers()
{
    markers_ = {};
    if (Mesures_) Mesures_->hide();
    showMarkers();
}

void GraphFrame::showMarkers()
{
    Picture1_->setMarkers(graph::markerLines(markers_, graph::shownView(zoom_, tables_.nbre_acqui)));
    if (!Mesures_ || !markers_.any()) return;
    graph::MeasureContext c;
    c.analog = analog();
    c.selection = selection_;
    c.coefficient = graph::plotCoefficient(graph::guardedCoefficient(coeff_->text()));
    for (int k = 1; k <= 8; ++k) c.units[size_t(k - 1)] = unitOf_ ? unitOf_(k) : QString();
    Mesures_->setTable(graph::measures(tables_, markers_, c));
}
