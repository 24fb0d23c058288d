#pragma once
// The two column plots, the full view and the zoom drawn with them, the
// readout under the mouse and the zoom state.

#include "acquisition/tables.h"
#include "graph/surface.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace graph {

constexpr double kOriginX = 1000;       // x of the first column
constexpr double kEndX = 11520;         // the view's last acquisition lands here
constexpr double kBaselineY = 5040;     // analog value 0
constexpr double kAnalogScale = 20;     // twips per unit of element × coefficient
constexpr double kRowPitch = 650;       // logic rows
constexpr double kLow = 300;            // logic 0, below the row top
constexpr double kHigh = 0;             // logic 1
constexpr double kReadoutScale = 1020;  // twips per volt of the value readout
constexpr int kZoomColumns = 10;

// Column step for n columns: acquisition f + n lands at the end of the time axis.
constexpr double columnStep(int n) { return (kEndX - kOriginX) / n; }

using Selection = std::array<int, 8>;  // selection flag per legend slot: 0 or 1

// The coefficient box's guard: "0" alone becomes "1"; "00", "0.0", an empty
// box or any other text stays as typed.
QString guardedCoefficient(const QString &coeff);

// The graph coefficient as the plot reads it: "." or "," as the decimal
// point, whichever comes first; no number gives 0.
double plotCoefficient(const QString &coeff);
// As the readout reads it: the whole box must be a number.
std::optional<double> readoutCoefficient(const QString &coeff);

// How far the last analog column reaches. The zoom joins its last
// acquisition f + n to the next one, beyond the right edge; the full view
// ends at its last acquisition (the slot after it is normally empty, and a
// segment down to it would show as a stub at the edge).
enum class LastColumn { ToNext, Stop };

// Analog columns f … f + n (f … f + n − 1 with Stop): each joins acquisition
// a to a + 1 for every selected slot. A read that fails (outside the tables,
// a text that is no number) keeps the channel's value from the column before
// (0 at first).
void plotAnalog(Surface &s, const Tables &t, const Selection &sel, double c, long long f, int n,
                LastColumn last = LastColumn::ToNext);

// Logic columns f … f + n: eight step lines, input k in the row at 650·(k−1).
// An element that cannot be read is drawn high; a number other than 0 or 1
// keeps the level of the element read before.
void plotLogic(Surface &s, const Tables &t, long long f, int n);

// The levels the logic plot draws for acquisitions f … f + columns − 1:
// entry 8·j + k − 1 is 1 when input k is low at acquisition f + j.
std::vector<unsigned char> logicLows(const Tables &t, long long f, size_t columns);

struct ZoomState {
    int mode_zoom = 0;      // 0 full view, 1 zoomed view
    int acqui_curseur = 0;  // acquisition under the mouse (full view) / zoom start
};

// "Tracer": clear, back to the full view, plot acquisitions 0 … nbre_acqui.
void fullView(Surface &s, const Tables &t, bool analog, const Selection &sel, const QString &coeff, ZoomState &z);

// The zoom: clear, plot eleven columns from acqui_curseur.
void zoomView(Surface &s, const Tables &t, bool analog, const Selection &sel, const QString &coeff, const ZoomState &z);

// Where a zoom starts: the analog one opens five acquisitions before the
// mouse when it is beyond 10; the logic one starts exactly there.
int zoomStart(bool analog, int acquiCurseur);

// The acquisition whose point lies nearest X, in the view on the surface.
int acquisitionAt(double x, int nbreAcqui, const ZoomState &z);

struct Readout {
    std::optional<QString> value;  // Label64; nothing: keep the text it has
    QString acquisition;           // Label59
};

// A mouse move at (x, y): the texts of the two readouts; in the full view
// acqui_curseur follows the mouse.
Readout mouseMove(bool analog, double x, double y, const QString &coeff, int nbreAcqui, ZoomState &z);

enum class Click { Nothing, Annotate, FullView, Zoom };

// A button pressed on the surface (1 left, 2 right): what to draw next, with
// the zoom state already moved on (a FullView leaves mode_zoom to "Tracer").
Click mouseDown(bool analog, int button, ZoomState &z);

}  // namespace graph
