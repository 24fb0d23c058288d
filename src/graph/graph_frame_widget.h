#pragma once
// Frame6, "Mode graphique": the drawing surface Picture1 and the command area
// Frame7 with the graph's controls. The handlers keep the window's names; the
// rules they apply live in graph/layout.h and graph/plot.h.

#include "acquisition/acquired.h"
#include "graph/layout.h"
#include "graph/markers.h"
#include "graph/plot.h"

#include <QColor>
#include <QGroupBox>
#include <QImage>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
struct Tables;
namespace files {
struct Configuration;
}
class PictureWidget;
class MeasuresWindow;

class GraphFrame : public QGroupBox {
    Q_OBJECT
public:
    GraphFrame(Tables &tables, QWidget *parent);
    ~GraphFrame() override;

    // Controls that the main window handles itself.
    QPushButton *command3() const { return Command3_; }    // "RAZ tableaux"
    QPushButton *command23() const { return Command23_; }  // "Aléatoire"
    QPushButton *command26() const { return Command26_; }  // table view
    QPlainTextEdit *text5() const { return Text5_; }

    // Menu "Graphique": full height, visible.
    void showView();
    // Its part of "param.ini": shown from what was read / put into what is written.
    void loadFrom(const files::Configuration &c);
    void saveTo(files::Configuration &c) const;
    // What the surface shows, traces and annotations only.
    QImage surfaceImage() const;

    PictureWidget *picture() const { return Picture1_; }
    int mode_zoom() const { return zoom_.mode_zoom; }
    int acqui_curseur() const { return zoom_.acqui_curseur; }
    const graph::Selection &selection() const { return selection_; }
    QColor annotationColour() const { return annotation_; }
    int thickness() const { return thickness_; }
    bool analog() const;

    // The unit boxes of the analog channels (1 … 8), for the measures.
    void setUnits(std::function<QString(int)> unitOf) { unitOf_ = std::move(unitOf); }
    const graph::Markers &markers() const { return markers_; }
    // The "Mesures" window, once a marker has opened it.
    MeasuresWindow *measuresWindow() const { return Mesures_; }

signals:
    // What the status line should say about the acquisition under the mouse:
    // "Acquisition 49 — 07/12/2026 14:32:07,412", or nothing when it has no
    // time; before is what it said at the previous move.
    void acquisitionHovered(const QString &said, const QString &before);

public slots:
    void startupLayout();
    void Command25_Click();
    void Option1_Click();
    void Option2_Click();
    void Label56_Click(int index);
    void Label56_MouseMove(int index);
    void HScroll1_Change();
    void HScroll2_Change();
    // The guard of the coefficient box ("0" alone becomes "1") when its
    // editing ends; the plot and the readout apply it whenever they read it.
    void coeff_LostFocus();
    void coeff_MouseMove();
    void Command24_MouseMove();
    void Command23_MouseMove();
    void Check9_Click();
    void Command24_Click();
    void Picture1_MouseMove(int button, int shift, double X, double Y);
    void Picture1_MouseDown(int button, int shift, double X, double Y);
    void Picture1_KeyDown(int key, int shift);  // Escape clears the markers
    void suivi_MouseMove();
    // A decoded acquisition of either frame: one that was memorised redraws
    // the full view while "Suivi en direct" is ticked, the graph is shown,
    // the frame is the one of the layout chosen and no zoom is on the surface.
    void acquisitionDecoded(const acquisition::Acquired &a);
    // "RAZ tableaux", "Aléatoire", an opened file: the marked acquisitions are gone.
    void clearMarkers();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildCommands();
    void clearSurface();
    QString coefficient();  // the box as the plot and the readout read it
    void setMarker(bool b, double X);
    // The markers where the view shows them, and the measures between them.
    void showMarkers();

    Tables &tables_;
    PictureWidget *Picture1_ = nullptr;
    QGroupBox *Frame7_ = nullptr;
    QRadioButton *Option1_ = nullptr;
    QRadioButton *Option2_ = nullptr;
    QScrollBar *HScroll1_ = nullptr;
    QLabel *Label61_ = nullptr;
    QLineEdit *coeff_ = nullptr;
    QScrollBar *HScroll2_ = nullptr;
    QLabel *Label63_ = nullptr;
    QCheckBox *Check9_ = nullptr;
    QPushButton *Command26_ = nullptr;
    QPlainTextEdit *Text5_ = nullptr;
    QPushButton *Command24_ = nullptr;
    QPushButton *Command23_ = nullptr;
    QPushButton *Command3_ = nullptr;
    QPushButton *Command25_ = nullptr;
    QLabel *aide_ = nullptr;
    QCheckBox *suivi_ = nullptr;         // "Suivi en direct"
    MeasuresWindow *Mesures_ = nullptr;  // made by the first marker, hidden when closed
    bool measuresHidden_ = false;        // hidden by "Retour", shown again with the graph

    graph::ZoomState zoom_;
    graph::Selection selection_{};
    QColor annotation_{0, 255, 0};
    int thickness_ = 1;
    QString hovered_;  // the last text of acquisitionHovered
    graph::Markers markers_;
    std::function<QString(int)> unitOf_;
};
