// The graph's rules on a recording surface: which lines the column plots draw,
// where, in which colour, and how the overlay moves with the layouts.

#include "acquisition/tables.h"
#include "graph/layout.h"
#include "graph/plot.h"
#include "graph/surface.h"
#include "support/both_locales.h"

#include <QLocale>
#include <QTest>
#include <cmath>
#include <memory>
#include <vector>

namespace {

struct Call {
    enum Kind { Clear, Line, Rect, Text } kind;
    QPointF a, b;
    QColor colour;
    int width;
    QString text;
};

class Recorder : public Surface {
public:
    std::vector<Call> calls;
    QColor colour{0, 255, 0};
    int width = 1;

    void clear() override { calls.push_back({Call::Clear, {}, {}, colour, width, {}}); }
    void line(QPointF a, QPointF b) override { calls.push_back({Call::Line, a, b, colour, width, {}}); }
    void rectOutline(QPointF a, QPointF b) override { calls.push_back({Call::Rect, a, b, colour, width, {}}); }
    void text(QPointF p, const QString &s) override { calls.push_back({Call::Text, p, {}, colour, width, s}); }
    void setWidth(int px) override { width = px; }
    void setColor(QColor c) override { colour = c; }

    std::vector<Call> of(Call::Kind k, const QColor &c) const
    {
        std::vector<Call> out;
        for (const Call &x : calls)
            if (x.kind == k && x.colour == c) out.push_back(x);
        return out;
    }
    int count(Call::Kind k) const
    {
        int n = 0;
        for (const Call &x : calls) n += x.kind == k;
        return n;
    }
};

constexpr double kStep100 = (11520.0 - 1000.0) / 100;  // full view at 100 acquisitions
constexpr double kStepZoom = (11520.0 - 1000.0) / 10;

graph::Selection only(int slot)
{
    graph::Selection s{};
    s[size_t(slot)] = 1;
    return s;
}

bool near(double a, double b) { return std::abs(a - b) < 1e-6; }
// A segment from (ax, ay) to (bx, by); NAN: any.
bool from(const Call &c, double ax, double ay, double bx = NAN, double by = NAN)
{
    const auto is = [](double v, double w) { return std::isnan(w) || near(v, w); };
    return is(c.a.x(), ax) && is(c.a.y(), ay) && is(c.b.x(), bx) && is(c.b.y(), by);
}

}  // namespace

class TestGraph : public QObject {
    Q_OBJECT

private slots:
    void init() { t_ = std::make_unique<Tables>(); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void analogFullViewNothingSelected()
    {
        Recorder r;
        graph::ZoomState z{1, 7};
        graph::fullView(r, *t_, true, graph::Selection{}, QStringLiteral("1"), z);
        QCOMPARE(r.calls.size(), size_t(1));
        QCOMPARE(r.calls[0].kind, Call::Clear);
        QCOMPARE(z.mode_zoom, 0);
    }

    void analogFullViewOneChannel()
    {
        for (int a = 0; a < Tables::kSlots; ++a) t_->tab_ana(3, a) = Element::number(a % 7);
        t_->tab_ana(1, 5) = Element::number(200);  // another channel, not selected
        Recorder r;
        graph::ZoomState z;
        graph::fullView(r, *t_, true, only(2), QStringLiteral("1"), z);
        // Acquisitions 0 … 100 make 100 segments: nothing runs on to 101.
        QCOMPARE(r.count(Call::Line), 100);
        const auto lines = r.of(Call::Line, QColor(0, 255, 0));
        QCOMPARE(lines.size(), size_t(100));
        for (int j = 0; j < 100; ++j) {
            QVERIFY(from(lines[size_t(j)], 1000 + kStep100 * j, 5040 - (j % 7) * 20.0, 1000 + kStep100 * (j + 1),
                         5040 - ((j + 1) % 7) * 20.0));
        }
        // The view's last acquisition lands at the end of the time axis.
        QVERIFY(near(lines[99].b.x(), 11520));
    }

    void analogSlotOrderAndColours()
    {
        Recorder r;
        graph::Selection sel{};
        sel[0] = sel[7] = sel[4] = 1;
        graph::plotAnalog(r, *t_, sel, 1, 0, 10);
        QCOMPARE(r.count(Call::Line), 33);
        // The slots come in order, black, magenta, olive, so a higher channel
        // lies over a lower one; each one's columns from left to right.
        const QColor order[3] = {{0, 0, 0}, {255, 0, 255}, {128, 128, 0}};
        for (size_t i = 0; i < 33; ++i) {
            QCOMPARE(r.calls[i].colour, order[i / 11]);
            QVERIFY(near(r.calls[i].a.x(), 1000 + kStepZoom * double(i % 11)));
        }
    }

    void coefficient_data()
    {
        QTest::addColumn<bool>("french");
        QTest::addColumn<QString>("coeff");
        QTest::addColumn<double>("y");  // of an element 127.5
        for (bool fr : {false, true}) {
            const char *loc = fr ? "fr" : "C";
            QTest::addRow("%s 1", loc) << fr << "1" << 2490.0;
            QTest::addRow("%s 0,5", loc) << fr << "0,5" << 5040 - 1275.0;
            QTest::addRow("%s -1", loc) << fr << "-1" << 5040 + 2550.0;
            QTest::addRow("%s abc", loc) << fr << "abc" << 5040.0;
            QTest::addRow("%s 1,5.2", loc) << fr << "1,5.2" << 5040 - 3825.0;
        }
    }
    void coefficient()
    {
        QFETCH(bool, french);
        QFETCH(QString, coeff);
        QFETCH(double, y);
        panel::useLocale(french);
        t_->tab_ana(1, 0) = Element::number(127.5);
        t_->tab_ana(1, 1) = Element::number(127.5);
        Recorder r;
        graph::ZoomState z;
        graph::fullView(r, *t_, true, only(0), coeff, z);
        QVERIFY(from(r.of(Call::Line, QColor(0, 0, 0))[0], NAN, y, NAN, y));
    }

    void analogTextNoNumberKeepsPrevious_data() { panel::addLocaleRows(); }
    void analogTextNoNumberKeepsPrevious()
    {
        QFETCH(bool, french);
        panel::useLocale(french);
        const double v[6] = {10, 20, 30, 0, 50, 60};
        for (int a = 0; a < 6; ++a) t_->tab_ana(1, a) = Element::number(v[a]);
        t_->tab_ana(1, 3) = Element::text(QStringLiteral("abc"));
        t_->tab_ana(1, 4) = Element::text(french ? QStringLiteral("50,") : QStringLiteral("50."));
        Recorder r;
        graph::plotAnalog(r, *t_, only(0), 1, 0, 10);
        auto y = [](double e) { return 5040 - e * 20; };
        // "abc": y2 of the column before, then y1 of the column before; a
        // regional text reads as its number.
        QVERIFY(from(r.calls[2], NAN, y(30), NAN, y(30)));
        QVERIFY(from(r.calls[3], NAN, y(30), NAN, y(50)));
    }

    void emptySlots()
    {
        Recorder r;
        graph::plotAnalog(r, *t_, graph::Selection{1, 1, 1, 1, 1, 1, 1, 1}, 1, 0, 100);
        QCOMPARE(r.count(Call::Line), 8 * 101);  // the zoom's way: on to the next acquisition
        for (const Call &c : r.calls) QVERIFY(c.a.y() == 5040 && c.b.y() == 5040);

        Recorder l;
        graph::plotLogic(l, *t_, 0, 100);
        QCOMPARE(l.count(Call::Line), 8 * 101);
        // Every input starts with a fall from the remembered high level, once.
        QCOMPARE(l.count(Call::Rect), 8);
        for (const Call &c : l.calls) {
            if (c.kind != Call::Line) continue;
            const int k = int(c.a.y()) / 650;
            QCOMPARE(c.a.y(), 650.0 * k + 300);
        }
    }

    void logicAlternatingEdges()
    {
        t_->tab_log[0] = Element::number(0);
        t_->tab_log[8] = Element::number(1);
        t_->tab_log[16] = Element::number(0);
        for (int a = 3; a <= 100; ++a) t_->tab_log[size_t(8 * a)] = Element::number(0);
        Recorder r;
        graph::ZoomState z;
        graph::fullView(r, *t_, false, graph::Selection{}, QStringLiteral("1"), z);
        const QColor olive(128, 128, 0);  // input 1, slot 7
        const auto lines = r.of(Call::Line, olive);
        const auto edges = r.of(Call::Rect, olive);
        QCOMPARE(lines.size(), size_t(101));
        QVERIFY(from(lines[0], 1000, 300));
        QVERIFY(from(lines[1], 1000 + kStep100, 0, 1000 + 2 * kStep100));
        QVERIFY(from(lines[2], 1000 + 2 * kStep100, 300));
        QCOMPARE(edges.size(), size_t(3));
        for (int i = 0; i < 3; ++i) QVERIFY(from(edges[size_t(i)], 1000 + kStep100 * i, 0, 1000 + kStep100 * i, 300));
        // Input 8 (black) lies lowest, in the row at 4550.
        QVERIFY(near(r.of(Call::Line, QColor(0, 0, 0))[0].a.y(), 4550 + 300));
    }

    void logicOtherNumberKeepsLevel_data()
    {
        QTest::addColumn<double>("input1");
        QTest::addColumn<double>("level2");
        QTest::newRow("after a 1") << 1.0 << 650.0;
        QTest::newRow("after a 0") << 0.0 << 950.0;
    }
    void logicOtherNumberKeepsLevel()
    {
        QFETCH(double, input1);
        QFETCH(double, level2);
        t_->tab_log[0] = Element::number(input1);
        t_->tab_log[1] = Element::number(5);  // input 2 of acquisition 0
        Recorder r;
        graph::plotLogic(r, *t_, 0, 10);
        const auto lines = r.of(Call::Line, QColor(255, 255, 255));  // input 2, slot 6
        QVERIFY(near(lines[0].a.y(), level2));
    }

    void zoomOutsideTables()
    {
        for (int a = 0; a < Tables::kSlots; ++a) t_->tab_ana(2, a) = Element::number(100);
        graph::ZoomState z{1, -3};
        Recorder r;
        graph::zoomView(r, *t_, true, only(1), QStringLiteral("1"), z);
        QCOMPARE(r.calls[0].kind, Call::Clear);
        const auto lines = r.of(Call::Line, QColor(255, 0, 0));
        QCOMPARE(lines.size(), size_t(11));
        // Reads before slot 0 fail: the trace starts at the top edge.
        QVERIFY(from(lines[0], 1000, 0));
        QVERIFY(from(lines[1], 1000 + kStepZoom, 0, NAN, 0));
        QVERIFY(from(lines[2], NAN, 0, NAN, 3040));
        QVERIFY(from(lines[3], NAN, 3040));

        // Past the last slot the analog trace keeps its last value …
        z.acqui_curseur = 995;
        Recorder e;
        graph::zoomView(e, *t_, true, only(1), QStringLiteral("1"), z);
        for (const Call &c : e.of(Call::Line, QColor(255, 0, 0))) QCOMPARE(c.b.y(), 3040.0);

        // … and logic inputs outside the table are drawn high.
        for (auto &el : t_->tab_log) el = Element::number(0);
        for (int start : {-3, 995}) {
            z.acqui_curseur = start;
            Recorder l;
            graph::zoomView(l, *t_, false, graph::Selection{}, QStringLiteral("1"), z);
            const auto row1 = l.of(Call::Line, QColor(128, 128, 0));
            QCOMPARE(row1.size(), size_t(11));
            for (int j = 0; j <= 10; ++j) {
                const bool inside = start + j >= 0 && start + j <= 1000;
                QCOMPARE(row1[size_t(j)].a.y(), inside ? 300.0 : 0.0);
            }
            // A fall where the reads enter the table, a rise where they leave it.
            QCOMPARE(l.of(Call::Rect, QColor(128, 128, 0)).size(), size_t(start < 0 ? 1 : 2));
        }
    }

    // The legends read from the top: channel 8 first at start and in the
    // logic layout, channel 1 first in the analog one; only the analog
    // layout shows the value figures and the grid; a change back and forth
    // ends where it began.
    void layouts()
    {
        graph::Overlay o = graph::designOverlay();
        graph::startupLayout(o);
        const graph::Overlay start = o;
        auto check = [&o](bool analog) {
            for (int k = 0; k < 8; ++k)
                QCOMPARE(o.legendText[size_t(k)], QStringLiteral("Voie %1").arg(analog ? k + 1 : 8 - k));
            for (bool v : o.figureVisible) QCOMPARE(v, analog);
            for (int i = 8; i <= 25; ++i) QCOMPARE(o.line31[size_t(i)].visible, analog);
            QCOMPARE(o.line31[26].y1, 570.0);  // the short marks never move
        };
        check(false);
        for (int round = 0; round < 2; ++round) {
            graph::analogLayout(o);
            check(true);
            QCOMPARE(o.line31[0].y1, 5040.0);  // the grid's bottom line on the time axis
            graph::logicLayout(o);
            check(false);
        }
        QCOMPARE(o.legendTop[7], 70.0);  // the logic rows are tighter than at start
        QCOMPARE(start.legendTop[7], 175.0);
    }

    void readoutLogic_data()
    {
        QTest::addColumn<bool>("french");
        QTest::addColumn<QString>("coeff");
        QTest::addColumn<double>("y");
        QTest::addColumn<QString>("value");  // "-": the box keeps its text
        for (bool fr : {false, true}) {
            const char *loc = fr ? "fr" : "C";
            const QString sep = fr ? QStringLiteral(",") : QStringLiteral(".");
            QTest::addRow("%s 1", loc) << fr << "1" << 3000.0 << "2" + sep;
            QTest::addRow("%s 0,5", loc) << fr << "0,5" << 3000.0 << "1" + sep;
            QTest::addRow("%s thirds", loc) << fr << "1" << 4700.0 << "0" + sep + "33";
            QTest::addRow("%s below", loc) << fr << "1" << 5550.0 << "-0" + sep + "5";
            QTest::addRow("%s abc", loc) << fr << "abc" << 3000.0 << "-";
            QTest::addRow("%s empty", loc) << fr << "" << 3000.0 << "-";
        }
    }
    void readoutLogic()
    {
        QFETCH(bool, french);
        QFETCH(QString, coeff);
        QFETCH(double, y);
        QFETCH(QString, value);
        panel::useLocale(french);
        graph::ZoomState z;
        const graph::Readout r = graph::mouseMove(true, 6750, y, coeff, 100, z);
        if (value == QLatin1String("-"))
            QVERIFY(!r.value);
        else
            QCOMPARE(r.value.value_or(QStringLiteral("?")), value);
        QCOMPARE(r.acquisition, QStringLiteral("Acquisition N°: 55"));
        QCOMPARE(graph::mouseMove(false, 6750, y, coeff, 100, z).value.value_or(QStringLiteral("?")), QString());
    }

private:
    std::unique_ptr<Tables> t_;
};

QTEST_GUILESS_MAIN(TestGraph)
#include "test_graph.moc"
