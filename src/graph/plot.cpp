#include "graph/plot.h"

#include "graph/layout.h"
#include "text/numbers.h"

#include <climits>
#include <cmath>
#include <vector>

namespace graph {

QString guardedCoefficient(const QString &coeff) { return coeff == u"0" ? QStringLiteral("1") : coeff; }

double plotCoefficient(const QString &coeff) { return text::leadingNumberAnyPoint(coeff); }

std::optional<double> readoutCoefficient(const QString &coeff) { return text::parseAnyPoint(coeff); }

namespace {

// An element as a number; nothing when it lies outside or cannot be read.
std::optional<double> read(const Element *e)
{
    if (!e) return std::nullopt;
    return e->toNumber();
}

// y of an analog element, or nothing when it cannot be computed.
std::optional<double> analogY(const Tables &t, int k, long long a, double c)
{
    const auto v = read(t.anaAt(k, a));
    if (!v) return std::nullopt;
    const double y = kBaselineY - *v * c * kAnalogScale;
    if (!std::isfinite(y)) return std::nullopt;
    return y;
}

}  // namespace

void plotAnalog(Surface &s, const Tables &t, const Selection &sel, double c, long long f, int n, LastColumn last)
{
    if (n <= 0) return;
    const double dx = columnStep(n);
    const int lastColumn = last == LastColumn::ToNext ? n : n - 1;
    // Each channel's segments are gathered, then drawn in one go in its
    // colour, the channels in slot order: where traces cross, the higher
    // channel lies over the lower one.
    std::vector<QLineF> segments;
    segments.reserve(size_t(lastColumn) + 1);
    for (int slot = 0; slot < 8; ++slot) {
        if (sel[size_t(slot)] != 1) continue;
        const int k = slot + 1;
        double y1 = 0, y2 = 0;  // kept when a read fails: the top edge at first
        segments.clear();
        for (int j = 0; j <= lastColumn; ++j) {
            const long long a = f + j;
            const double x = kOriginX + dx * j;
            if (const auto y = analogY(t, k, a, c)) y1 = *y;
            if (const auto y = analogY(t, k, a + 1, c)) y2 = *y;
            segments.emplace_back(x, y1, x + dx, y2);
        }
        s.setColor(traceColor(slot));
        s.lines(segments);
    }
}

std::vector<unsigned char> logicLows(const Tables &t, long long f, size_t columns)
{
    // Column by column and input by input, as the rule reads them: an
    // element that is no 0 or 1 keeps the level read just before it,
    // whatever its input.
    std::vector<unsigned char> low(columns * 8);
    double level = kHigh;  // unset counts as high
    for (size_t j = 0; j < columns; ++j)
        for (int k = 1; k <= 8; ++k) {
            const auto v = read(t.logAt(8 * (f + (long long)j) + k - 1));
            if (!v || *v == 1)
                level = kHigh;
            else if (*v == 0)
                level = kLow;
            low[8 * j + size_t(k - 1)] = level == kLow;
        }
    return low;
}

void plotLogic(Surface &s, const Tables &t, long long f, int n)
{
    if (n <= 0) return;
    const double dx = columnStep(n);
    // The levels first.
    const auto columns = size_t(n) + 1;
    const std::vector<unsigned char> low = logicLows(t, f, columns);
    // Then each input's steps and edges in one go in its colour: the rows do
    // not overlap, so the picture is the same as drawing them column by column.
    std::vector<QLineF> steps, edges;
    steps.reserve(columns);
    edges.reserve(columns);
    for (int k = 1; k <= 8; ++k) {
        const double r = kRowPitch * (k - 1);
        steps.clear();
        edges.clear();
        bool wasLow = false;  // the remembered level starts unset: high
        for (size_t j = 0; j < columns; ++j) {
            const bool isLow = low[8 * j + size_t(k - 1)] != 0;
            const double x = kOriginX + dx * double(j);
            const double y = r + (isLow ? kLow : kHigh);
            steps.emplace_back(x, y, x + dx, y);
            if (isLow != wasLow) edges.emplace_back(x, r, x, r + kLow);
            wasLow = isLow;
        }
        s.setColor(traceColor(8 - k));
        s.lines(steps);
        s.rectOutlines(edges);
    }
}

void fullView(Surface &s, const Tables &t, bool analog, const Selection &sel, const QString &coeff, ZoomState &z)
{
    s.clear();
    z.mode_zoom = 0;
    if (analog)
        plotAnalog(s, t, sel, plotCoefficient(coeff), 0, t.nbre_acqui, LastColumn::Stop);
    else
        plotLogic(s, t, 0, t.nbre_acqui);
}

void zoomView(Surface &s, const Tables &t, bool analog, const Selection &sel, const QString &coeff, const ZoomState &z)
{
    s.clear();
    if (analog)
        plotAnalog(s, t, sel, plotCoefficient(coeff), z.acqui_curseur, kZoomColumns);
    else
        plotLogic(s, t, z.acqui_curseur, kZoomColumns);
}

int zoomStart(bool analog, int acquiCurseur)
{
    if (analog && acquiCurseur > 10) return acquiCurseur - 5;
    return acquiCurseur;
}

int acquisitionAt(double x, int nbreAcqui, const ZoomState &z)
{
    const int n = z.mode_zoom == 1 ? kZoomColumns : nbreAcqui;
    double column = std::round((x - kOriginX) / columnStep(n));
    // The mouse stays on the window; keep absurd positions representable.
    if (!(column > -1e9)) column = -1e9;
    if (column > 1e9) column = 1e9;
    long long a = (long long)column;
    if (z.mode_zoom == 1) a += z.acqui_curseur;
    if (a > INT_MAX) a = INT_MAX;
    if (a < INT_MIN) a = INT_MIN;
    return int(a);
}

Readout mouseMove(bool analog, double x, double y, const QString &coeff, int nbreAcqui, ZoomState &z)
{
    Readout r;
    if (analog) {
        if (const auto c = readoutCoefficient(coeff)) {
            const double v = (kBaselineY - y) / kReadoutScale * *c;
            if (std::isfinite(v)) r.value = text::twoDecimals(v);
        }
    } else {
        r.value = QString();
    }
    const int a = acquisitionAt(x, nbreAcqui, z);
    r.acquisition = QStringLiteral("Acquisition N°: ") + QString::number(a);
    if (z.mode_zoom == 0) z.acqui_curseur = a;
    return r;
}

Click mouseDown(bool analog, int button, ZoomState &z)
{
    if (analog) {
        if (button == 2) return Click::Annotate;
        if (button != 1) return Click::Nothing;
        if (z.mode_zoom == 1) return Click::FullView;
        z.mode_zoom = 1;
        z.acqui_curseur = zoomStart(true, z.acqui_curseur);
        return Click::Zoom;
    }
    if (button == 1 && z.mode_zoom == 1) return Click::FullView;
    z.mode_zoom = 1;
    z.acqui_curseur = zoomStart(false, z.acqui_curseur);
    return Click::Zoom;
}

}  // namespace graph
