#pragma once
// The two measuring markers of the graph, A and B: each marks one
// acquisition, stands as a dashed vertical line of the overlay where that
// acquisition lies in the view on the surface, and the "Mesures" window lists
// what lies between them.

#include "acquisition/tables.h"
#include "graph/plot.h"

#include <QColor>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace graph {

struct Markers {
    std::optional<int> a, b;  // the acquisitions marked
    bool any() const { return a.has_value() || b.has_value(); }
    bool operator==(const Markers &) const = default;
};

// The acquisitions the surface shows: first … first + columns, the first at
// x 1000 and the last at the end of the time axis.
struct View {
    long long first = 0;
    int columns = 100;
};
View shownView(const ZoomState &z, int nbreAcqui);

// The acquisition a Ctrl-click at x marks: the one the readout names under
// the mouse, kept within the tables (slots 0 … 1000).
int markedAcquisition(double x, int nbreAcqui, const ZoomState &z);

// x of acquisition a in the view; nothing when the view does not show it.
std::optional<double> acquisitionX(long long a, const View &v);

constexpr double kMarkerTop = 0;  // the lines run from the top edge …
constexpr double kMarkerLabelGap = 30;
constexpr double kMarkerLabelWidth = 240;
constexpr double kMarkerLabelHeight = 210;
QColor markerColour(bool b);  // dark blue for A, dark red for B

// One marker as the overlay draws it, in twips: a dashed vertical line down
// to the time axis and its letter at the top, A left of its line and B right
// of it, so that both stay readable when they mark the same acquisition.
struct MarkerLine {
    QLineF line;
    QColor colour;
    QString label;
    QRectF labelBox;
    bool labelRight = false;  // the letter is aligned on the side of the line
};
// The markers the view shows, A first.
std::vector<MarkerLine> markerLines(const Markers &m, const View &v);

// A table of measures as the window shows it and "Copier" copies it.
struct MeasureTable {
    QStringList header;
    QList<QStringList> rows;
    bool operator==(const MeasureTable &) const = default;
};

// Everything the measures read besides the tables.
struct MeasureContext {
    bool analog = false;  // the layout chosen
    Selection selection{};
    double coefficient = 1;        // the graph coefficient as the plot reads it
    std::array<QString, 8> units;  // the unit boxes of the analog channels 1 … 8
};

// Analog layout: rows "Acquisition N°", "Date et heure" (Δt in the Δ
// column), "1/Δt (Hz)", then one row per channel selected by the legends: its
// value at A and at B (element × coefficient × 5 / 255, as the listing's
// volts), B − A, the minimum, maximum and mean of the acquisitions A … B, and
// (B − A) per second of Δt. Logic layout: the same three first rows, then
// each input's level at A and at B and the rising and falling edges from A to
// B. Values with two decimals, the per-second figures with at least three
// significant ones; "Δt nul" when both times are the same; a cell that has no
// value (no marker, no time, no number) stays empty.
MeasureTable measures(const Tables &t, const Markers &m, const MeasureContext &c);

// The table as tab-separated lines, the header first.
QString tabSeparated(const MeasureTable &table);

// v with exactly that many decimals and the regional separator: "2,00".
QString fixedDecimals(double v, int decimals);

// A duration to the hundredth of a second: "2,00 s", "1 min 05,20 s",
// "2 h 03 min 05,20 s"; "-" before it when B comes before A.
QString durationText(qint64 ms);

}  // namespace graph
