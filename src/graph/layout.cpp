#include "graph/layout.h"

namespace graph {

QColor legendColor(int slot)
{
    static const QColor colours[8] = {
        QColor(0, 0, 0),     QColor(255, 0, 0), QColor(0, 255, 0),     QColor(255, 255, 0),
        QColor(255, 0, 255), QColor(0, 0, 255), QColor(255, 255, 255), QColor(255, 128, 0),
    };
    return colours[slot & 7];
}

QColor traceColor(int slot)
{
    // The classic sixteen-colour palette: 0, 12, 10, 14, 13, 9, 15, 6.
    static const QColor colours[8] = {
        QColor(0, 0, 0),     QColor(255, 0, 0), QColor(0, 255, 0),     QColor(255, 255, 0),
        QColor(255, 0, 255), QColor(0, 0, 255), QColor(255, 255, 255), QColor(128, 128, 0),
    };
    return colours[slot & 7];
}

namespace {

Rule horizontal(double y) { return Rule{kRuleX1, y, kRuleX2, y, true}; }

// Steps 2 to 5 of the logic arrangement, with the given legend pitch.
void stackLegends(Overlay &o, double pitch)
{
    for (int i = 8; i <= 25; ++i) o.line31[size_t(i)].visible = false;
    for (int i = 0; i < kFigures; ++i) o.figureVisible[size_t(i)] = false;
    o.line31[0] = horizontal(o.legendTop[0] + legendHeight(0));
    for (int i = 1; i <= 7; ++i) {
        const auto s = size_t(i);
        o.legendTop[s] = o.legendTop[s - 1] - pitch;
        o.line31[s] = horizontal(o.legendTop[s] + legendHeight(i));
        o.legendLeft[s] = o.legendLeft[0];
    }
}

}  // namespace

Overlay designOverlay()
{
    Overlay o;
    for (int k = 0; k < 8; ++k) {
        const auto s = size_t(k);
        o.legendLeft[s] = kLegendLeft;
        o.legendTop[s] = kLegendTop0 - 635.0 * k;
        o.legendText[s] = QStringLiteral("Voie %1").arg(8 - k);
    }
    for (int i = 0; i <= 25; ++i) o.line31[size_t(i)] = horizontal(kTimeAxisY - 202.5 * i);
    // Four short marks left of the value axis; no arrangement moves them.
    const double marks[4] = {570, 2610, 1950, 1230};
    for (int i = 0; i < 4; ++i) o.line31[26 + size_t(i)] = Rule{900, marks[i], 1020, marks[i], true};
    for (int i = 0; i < kFigures; ++i) {
        const auto s = size_t(i);
        o.figureLeft[s] = kFigureLeft;
        o.figureTop[s] = kTimeAxisY - 1012.5 * (i + 1) - kFigureHeight / 2;
        o.figureVisible[s] = true;
        o.figureText[s] = QString::number(i + 1);
    }
    return o;
}

void analogLayout(Overlay &o)
{
    for (int i = 8; i <= 25; ++i) o.line31[size_t(i)].visible = true;
    for (int i = 0; i < kFigures; ++i) {
        o.figureVisible[size_t(i)] = true;
        o.figureLeft[size_t(i)] = o.figureLeft[0];
    }
    o.line31[0] = horizontal(kTimeAxisY);
    for (int i = 1; i <= 7; ++i) {
        o.legendTop[size_t(i)] = o.legendTop[size_t(i - 1)] - 635;
        o.legendLeft[size_t(i)] = o.legendLeft[0];
    }
    const double h = kFigureHeight;
    for (int i = 1; i <= 25; ++i) {
        const double y = kTimeAxisY - 202.5 * i;
        o.line31[size_t(i)] = horizontal(y);
        // The figures sit beside every fifth line: "1" at the 5th … "5" at the 25th.
        switch (i) {
        case 6:
            o.figureTop[0] = y + h / 2;
            break;
        case 11:
            o.figureTop[1] = y + h / 2;
            break;
        case 16:
            o.figureTop[2] = y + h / 2;
            break;
        case 21:
            o.figureTop[3] = y + h / 2;
            break;
        case 25:
            o.figureTop[4] = y + h / 2 - 100;
            break;
        default:
            break;
        }
    }
    for (int i = 1; i <= 8; ++i) o.legendText[size_t(i - 1)] = QStringLiteral("Voie %1").arg(i);
}

void logicLayout(Overlay &o)
{
    stackLegends(o, 650);
    for (int i = 1; i <= 8; ++i) o.legendText[size_t(i - 1)] = QStringLiteral("Voie %1").arg(9 - i);
}

void startupLayout(Overlay &o) { stackLegends(o, 635); }

}  // namespace graph
