// The measuring markers' rules: where a Ctrl-click puts a marker, where its
// line stands in the full view and in a zoom, and the measures between A and
// B for known tables, under a point and a comma locale.

#include "acquisition/tables.h"
#include "graph/markers.h"
#include "support/both_locales.h"

#include <QLocale>
#include <QTest>

namespace {

constexpr double kStep100 = (11520.0 - 1000.0) / 100;
constexpr double kStepZoom = (11520.0 - 1000.0) / 10;

using panel::useLocale;

graph::MeasureContext analogContext(int slot, double coefficient = 1)
{
    graph::MeasureContext c;
    c.analog = true;
    c.selection[size_t(slot)] = 1;
    c.coefficient = coefficient;
    return c;
}

// The row whose first cell is name; empty when there is none.
QStringList row(const graph::MeasureTable &t, const QString &name)
{
    for (const QStringList &r : t.rows)
        if (r.value(0) == name) return r;
    return {};
}

// "1.7" as the regional format writes it.
QString sep(const char *s, bool french) { return QString::fromLatin1(s).replace(u'.', french ? u',' : u'.'); }

}  // namespace

class TestMarkers : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { useLocale(false); }

    void placing_data()
    {
        QTest::addColumn<int>("zoom");  // mode_zoom
        QTest::addColumn<int>("first");
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("marked");
        QTest::newRow("full, on the point of 49") << 0 << 0 << 1000 + kStep100 * 49 << 49;
        QTest::newRow("full, left of the axis: the first slot") << 0 << 0 << 10.0 << 0;
        QTest::newRow("zoom from 44, column 4") << 1 << 44 << 1000 + kStepZoom * 4 << 48;
        QTest::newRow("zoom past the tables") << 1 << 995 << 11520.0 << 1000;
    }
    void placing()
    {
        QFETCH(int, zoom);
        QFETCH(int, first);
        QFETCH(double, x);
        graph::ZoomState z{zoom, first};
        QTEST(graph::markedAcquisition(x, 100, z), "marked");
    }

    void lines_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<double>("xa");  // -1: not shown
        QTest::addColumn<double>("xb");
        QTest::newRow("full view") << 0 << 0 << 49 << 60 << 1000 + kStep100 * 49 << 1000 + kStep100 * 60;
        QTest::newRow("full view, the last acquisition at the axis end") << 0 << 0 << 0 << 100 << 1000.0 << 11520.0;
        QTest::newRow("full view, beyond nbre_acqui") << 0 << 0 << 20 << 101 << 1000 + kStep100 * 20 << -1.0;
        QTest::newRow("zoom from 44") << 1 << 44 << 49 << 60 << 1000 + kStepZoom * 5 << -1.0;
        QTest::newRow("zoom, before it") << 1 << 44 << 43 << 48 << -1.0 << 1000 + kStepZoom * 4;
    }
    void lines()
    {
        QFETCH(int, zoom);
        QFETCH(int, first);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(double, xa);
        QFETCH(double, xb);
        const graph::View v = graph::shownView(graph::ZoomState{zoom, first}, 100);
        const auto lines = graph::markerLines(graph::Markers{a, b}, v);
        for (const graph::MarkerLine &l : lines) {
            const bool isB = l.label == u"B";
            QCOMPARE(l.colour, isB ? QColor(128, 0, 0) : QColor(0, 0, 128));
            QCOMPARE(l.line.x1(), l.line.x2());
            QCOMPARE(l.line.y1(), 0.0);
            QCOMPARE(l.line.y2(), 5040.0);  // down to the time axis
            QVERIFY(qAbs(l.line.x1() - (isB ? xb : xa)) < 1e-9);
            // A's letter left of its line, B's right of it, both at the top.
            QCOMPARE(l.labelBox.top(), 0.0);
            if (isB)
                QCOMPARE(l.labelBox.left(), l.line.x1() + 30);
            else
                QCOMPARE(l.labelBox.right(), l.line.x1() - 30);
        }
        QCOMPARE(int(lines.size()), int(xa >= 0) + int(xb >= 0));
        if (xa >= 0) QCOMPARE(lines.front().label, QStringLiteral("A"));
        if (xb >= 0) QCOMPARE(lines.back().label, QStringLiteral("B"));
    }

    // Channel 3 holds, at slots 10 … 14, elements worth 1, 2, 0.5, 5 and 0 V.
    void analogMeasures_data()
    {
        QTest::addColumn<bool>("french");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<double>("coefficient");
        QTest::addColumn<QStringList>("expected");  // A, B, Δ, min, max, mean (no times: no Δ/Δt)
        for (const bool fr : {false, true}) {
            const auto row = [fr](const char *name, int a, int b, double coefficient, const char *values) {
                QTest::addRow("%s, %s", fr ? "comma" : "point", name)
                    << fr << a << b << coefficient << sep(values, fr).split(u' ');
            };
            row("10 to 14", 10, 14, 1, "1.00 0.00 -1.00 0.00 5.00 1.70");
            row("14 to 10", 14, 10, 1, "0.00 1.00 1.00 0.00 5.00 1.70");
            row("coefficient 2", 10, 14, 2, "2.00 0.00 -2.00 0.00 10.00 3.40");
            // 11 … 12 with a memorised text in the regional format: 2 and 0.5 V.
            row("memorised texts", 11, 12, 1, "2.00 0.50 -1.50 0.50 2.00 1.25");
        }
    }
    void analogMeasures()
    {
        QFETCH(bool, french);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(double, coefficient);
        QFETCH(QStringList, expected);
        useLocale(french);
        auto t = std::make_unique<Tables>();
        t->tab_ana(3, 10) = Element::number(51);
        t->tab_ana(3, 11) = Element::text(french ? QStringLiteral("102,") : QStringLiteral("102."));
        t->tab_ana(3, 12) = Element::text(french ? QStringLiteral("25,5") : QStringLiteral("25.5"));
        t->tab_ana(3, 13) = Element::number(255);
        t->tab_ana(3, 14) = Element::number(0);
        t->tab_ana(1, 12) = Element::number(200);  // channel 1 is not selected
        graph::MeasureContext c = analogContext(2, coefficient);
        c.units[2] = QStringLiteral("V");
        const graph::MeasureTable m = graph::measures(*t, graph::Markers{a, b}, c);
        QCOMPARE(m.header.join(u'|'), QStringLiteral("Mesure|A|B|Δ (B − A)|Minimum|Maximum|Moyenne|Δ/Δt (par s)"));
        QCOMPARE(m.rows.size(), 4);  // number, time, 1/Δt, the one selected channel
        QCOMPARE(row(m, QStringLiteral("Acquisition N°")).join(u'|'),
                 QStringLiteral("Acquisition N°|%1|%2|%3||||").arg(a).arg(b).arg(b - a));
        QCOMPARE(row(m, QStringLiteral("Voie 3 (V)")).mid(1), expected << QString());
    }

    void analogGaps()
    {
        auto t = std::make_unique<Tables>();
        t->tab_ana(5, 0) = Element::number(51);
        t->tab_ana(5, 1) = Element::text(QStringLiteral("abc"));  // no number: left out
        t->tab_ana(5, 2) = Element::number(153);
        graph::MeasureContext c = analogContext(4);
        c.selection[6] = 1;  // channel 7, never written: reads 0
        const auto voie = [&](const char *name, graph::Markers m) {
            return row(graph::measures(*t, m, c), QString::fromUtf8(name)).mid(1).join(u'|');
        };
        QCOMPARE(voie("Voie 5", {0, 2}), QStringLiteral("1.00|3.00|2.00|1.00|3.00|2.00|"));
        QCOMPARE(voie("Voie 7", {0, 2}), QStringLiteral("0.00|0.00|0.00|0.00|0.00|0.00|"));
        QCOMPARE(voie("Voie 5", {1, 1}), QStringLiteral("||||||"));  // on the text: no value, no difference
        // A alone: its values, nothing between.
        QCOMPARE(voie("Voie 5", {2, std::nullopt}), QStringLiteral("3.00||||||"));
        QCOMPARE(voie("Acquisition N°", {2, std::nullopt}), QStringLiteral("2||||||"));
        // No legend selected: the three marker rows only.
        QCOMPARE(graph::measures(*t, graph::Markers{0, 2}, analogContext(0, 1)).rows.size(), 4);
        graph::MeasureContext none;
        none.analog = true;
        QCOMPARE(graph::measures(*t, graph::Markers{0, 2}, none).rows.size(), 3);
    }

    void times_data()
    {
        QTest::addColumn<bool>("french");
        QTest::addColumn<bool>("analog");
        QTest::newRow("point, analog") << false << true;
        QTest::newRow("comma, logic") << true << false;
    }
    void times()
    {
        QFETCH(bool, french);
        QFETCH(bool, analog);
        useLocale(french);
        auto t = std::make_unique<Tables>();
        const QDateTime t0(QDate(2026, 12, 7), QTime(14, 32, 7, 412));
        const QDateTime t1 = t0.addMSecs(90500);
        if (analog) {
            t->times.setAnalog(3, t0);
            t->times.setAnalog(8, t1);
        } else {
            t->times.setLogic(3, t0);
            t->times.setLogic(8, t1);
        }
        graph::MeasureContext c;
        c.analog = analog;
        graph::MeasureTable m = graph::measures(*t, graph::Markers{3, 8}, c);
        QCOMPARE(row(m, QStringLiteral("Date et heure")).mid(1, 3),
                 (QStringList{acquisition::shownTime(t0), acquisition::shownTime(t1), sep("1 min 30.50 s", french)}));
        // The other frame's times are not these acquisitions' times.
        c.analog = !analog;
        m = graph::measures(*t, graph::Markers{3, 8}, c);
        QCOMPARE(row(m, QStringLiteral("Date et heure")).mid(1, 3), (QStringList{"", "", ""}));
    }

    void durations_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("shown");
        QTest::newRow("zero") << qint64(0) << "0.00 s";
        QTest::newRow("12.5 s") << qint64(12500) << "12.50 s";
        QTest::newRow("rounds to a minute") << qint64(59996) << "1 min 00.00 s";
        QTest::newRow("1 min 05.20 s") << qint64(65200) << "1 min 05.20 s";
        QTest::newRow("rounds to an hour") << qint64(3599996) << "1 h 00 min 00.00 s";
        QTest::newRow("26 h 30 min") << qint64(95405250) << "26 h 30 min 05.25 s";
        QTest::newRow("backwards") << qint64(-30000) << "-30.00 s";
        QTest::newRow("backwards, nothing") << qint64(-4) << "0.00 s";
    }
    void durations()
    {
        QFETCH(qint64, ms);
        QTEST(graph::durationText(ms), "shown");
        useLocale(true);
        QFETCH(QString, shown);
        QCOMPARE(graph::durationText(ms), shown.replace(u'.', u','));
    }

    // 1/Δt and Δ/Δt: channel 3 goes from 1 V at A to 0 V at B.
    void perSecond_data()
    {
        QTest::addColumn<bool>("french");
        QTest::addColumn<qint64>("ms");  // from A to B
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<QString>("slope");
        for (const bool fr : {false, true}) {
            const char *loc = fr ? "comma" : "point";
            QTest::addRow("%s, 2 s", loc) << fr << qint64(2000) << sep("0.500", fr) << sep("-0.500", fr);
            QTest::addRow("%s, 2 h", loc) << fr << qint64(7200000) << sep("0.000139", fr) << sep("-0.000139", fr);
            QTest::addRow("%s, B first", loc) << fr << qint64(-4000) << sep("0.250", fr) << sep("0.250", fr);
            QTest::addRow("%s, same time", loc)
                << fr << qint64(0) << QStringLiteral("Δt nul") << QStringLiteral("Δt nul");
        }
    }
    void perSecond()
    {
        QFETCH(bool, french);
        QFETCH(qint64, ms);
        useLocale(french);
        auto t = std::make_unique<Tables>();
        t->tab_ana(3, 10) = Element::number(51);
        t->tab_ana(3, 14) = Element::number(0);
        const QDateTime t0(QDate(2026, 12, 7), QTime(14, 32, 7, 412));
        t->times.setAnalog(10, t0);
        t->times.setAnalog(14, t0.addMSecs(ms));
        const graph::MeasureTable m = graph::measures(*t, graph::Markers{10, 14}, analogContext(2));
        QTEST(row(m, QStringLiteral("1/Δt (Hz)")).value(3), "frequency");
        QTEST(row(m, QStringLiteral("Voie 3")).value(7), "slope");
        // A marker without a time: nothing per second.
        t->times.setAnalog(14, QDateTime());
        const graph::MeasureTable none = graph::measures(*t, graph::Markers{10, 14}, analogContext(2));
        QCOMPARE(row(none, QStringLiteral("1/Δt (Hz)")).value(3), QString());
        QCOMPARE(row(none, QStringLiteral("Voie 3")).value(7), QString());
    }

    // Input 1 over slots 0 … 6: 1 0 0 1 0 1 1. Input 2 never written (low).
    void logicMeasures_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<QStringList>("input1");  // A, B, Δ, rises, falls
        QTest::addColumn<QStringList>("input2");
        const auto row = [](const char *name, int a, int b, const char *input1, const char *input2) {
            QTest::newRow(name) << a << b << QString::fromLatin1(input1).split(u'|')
                                << QString::fromLatin1(input2).split(u'|');
        };
        row("1 to 6", 1, 6, "0|1||2|1", "0|0||0|0");
        row("6 to 1", 6, 1, "1|0||2|1", "0|0||0|0");
        row("same slot", 3, 3, "1|1||0|0", "0|0||0|0");
        row("B alone", -1, 4, "|0|||", "|0|||");
    }
    void logicMeasures()
    {
        QFETCH(int, a);
        QFETCH(int, b);
        auto t = std::make_unique<Tables>();
        const int input1[] = {1, 0, 0, 1, 0, 1, 1};
        for (int s = 0; s < 7; ++s) t->tab_log[size_t(8 * s)] = Element::number(input1[s]);
        graph::MeasureContext c;  // logic; the flags do not matter
        graph::Markers m;
        if (a >= 0) m.a = a;
        m.b = b;
        const graph::MeasureTable table = graph::measures(*t, m, c);
        QCOMPARE(table.header.mid(4), (QStringList{"Fronts montants", "Fronts descendants"}));
        QCOMPARE(table.rows.size(), 3 + 8);
        QTEST(row(table, QStringLiteral("Voie 1")).mid(1), "input1");
        QTEST(row(table, QStringLiteral("Voie 2")).mid(1), "input2");
    }

    // Levels as the plot draws them: a number other than 0 or 1 keeps the
    // level read just before it; a text that is no number reads high.
    void logicLevelsAsDrawn()
    {
        auto t = std::make_unique<Tables>();
        t->tab_log[8 * 2 + 6] = Element::number(1);  // input 7 of slot 2 high
        t->tab_log[8 * 2 + 7] = Element::number(5);  // input 8 keeps it: high
        t->tab_log[8 * 4 + 7] = Element::text(QStringLiteral("x"));
        graph::MeasureContext c;
        const graph::MeasureTable m = graph::measures(*t, graph::Markers{1, 4}, c);
        // Input 8: 0 at 1, 1 at 2, 0 at 3, 1 at 4.
        QCOMPARE(row(m, QStringLiteral("Voie 8")).mid(1), (QStringList{"0", "1", "", "2", "1"}));
    }
};

QTEST_GUILESS_MAIN(TestMarkers)
#include "test_markers.moc"
