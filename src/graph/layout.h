#pragma once
// Geometry of the graph view: the fixed sizes of the drawing surface, the
// legend slots with their colours, and the three arrangements of the overlay
// (analog, logic, start-up). Everything in twips.

#include <QColor>
#include <QString>
#include <array>

namespace graph {

// Drawing surface: outer box 11595 × 5535 at (120, 300) of the frame, a border
// of 30 on each side, so the drawing area is 11535 × 5475.
constexpr double kSurfaceOuterW = 11595;
constexpr double kSurfaceOuterH = 5535;
constexpr double kBorder = 30;
constexpr double kAreaW = kSurfaceOuterW - 2 * kBorder;  // 11535
constexpr double kAreaH = kSurfaceOuterH - 2 * kBorder;  // 5475

// Fixed axes.
constexpr double kValueAxisX = 960;  // Line29, also the first x of the baseline minus 60
constexpr double kValueAxisBottom = 5340;
constexpr double kTimeAxisY = 5040;  // Line30
constexpr double kTimeAxisX1 = 240;
constexpr double kTimeAxisX2 = 11520;
constexpr double kRuleX1 = kValueAxisX - 60;  // 900: baseline, grid and separators
constexpr double kRuleX2 = kTimeAxisX2;       // 11520

constexpr double kLegendLeft = 60;
constexpr double kLegendWidth = 615;
constexpr double kLegendTop0 = 4620;
constexpr double legendHeight(int slot) { return slot == 0 ? 255 : 250; }
constexpr double kFigureHeight = 195;  // Label58
constexpr double kFigureWidth = 165;
constexpr double kFigureLeft = 720;

constexpr int kLines = 30;   // Line31(0) … Line31(29)
constexpr int kFigures = 5;  // Label58(0) … Label58(4)

QColor legendColor(int slot);  // text colour of legend slot 0 … 7
QColor traceColor(int slot);   // trace colour of slot 0 … 7
inline QColor surfaceBackground() { return QColor(192, 192, 192); }
inline QColor startForeground() { return QColor(0, 255, 0); }

struct Rule {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool visible = true;
};

// Where the movable overlay elements stand and what the legends read.
struct Overlay {
    std::array<double, 8> legendTop{};
    std::array<double, 8> legendLeft{};
    std::array<QString, 8> legendText;
    std::array<Rule, kLines> line31{};
    std::array<double, kFigures> figureTop{};
    std::array<double, kFigures> figureLeft{};
    std::array<bool, kFigures> figureVisible{};
    std::array<QString, kFigures> figureText;
};

// The design arrangement, before any layout has run.
Overlay designOverlay();

// The arrangements. They move elements only; clearing the surface is up to
// the caller (the analog and logic ones clear it, the start-up one does not).
void analogLayout(Overlay &o);
void logicLayout(Overlay &o);
void startupLayout(Overlay &o);

}  // namespace graph
