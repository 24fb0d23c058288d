// Times across the night the clocks go back (Paris, 25 October 2026, 03:00
// summer time becomes 02:00 winter time): every written time carries its
// offset from UTC, reads back as the same instant, and the "Mesures" window
// gives the true Δt after "Ouvrir graphique" and "Ouvrir un journal…" (the
// journal's lines and their reading back through the window). Older
// files, whose times have no offset, still read as local time.

#include "acquisition/acquired.h"
#include "acquisition/times.h"
#include "files/csv_export.h"
#include "files/journal.h"
#include "files/times_file.h"
#include "graph/graph_frame_widget.h"
#include "graph/markers.h"
#include "graph/measures_widget.h"
#include "graph/picture_widget.h"
#include "shell/form1.h"
#include "support/both_locales.h"
#include "support/controls.h"
#include "support/file_bytes.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <memory>

namespace {

// Before any date is made: the zone is read once.
const bool kParis = [] {
    qputenv("TZ", "Europe/Paris");
    ::tzset();
    return true;
}();

QDateTime utc(int h, int m, int s, int ms) { return QDateTime(QDate(2026, 10, 25), QTime(h, m, s, ms), Qt::UTC); }

// Slot 0 in the last second of summer time, slot 1 just after the change,
// slot 2 56.061 s after slot 0 though its clock reads almost an hour earlier.
const QDateTime kSlot0 = utc(0, 59, 59, 325).toLocalTime();
const QDateTime kSlot1 = utc(1, 0, 0, 939).toLocalTime();
const QDateTime kSlot2 = utc(1, 0, 55, 386).toLocalTime();

using panel::useLocale;

QString sep(const char *s, bool french) { return QString::fromLatin1(s).replace(u'.', french ? u',' : u'.'); }

std::unique_ptr<Tables> acrossTheChange()
{
    auto t = std::make_unique<Tables>();
    t->nbre_acqui = 2;
    int slot = 0;
    for (const QDateTime &when : {kSlot0, kSlot1, kSlot2}) {
        for (int k = 1; k <= 8; ++k) t->tab_ana(k, slot) = Element::number(51 * (slot + 1));
        t->times.setAnalog(slot, when);
        t->times.setLogic(slot, when.addMSecs(500));
        ++slot;
    }
    return t;
}

QString deltaT(const Tables &t, bool analog)
{
    graph::MeasureContext c;
    c.analog = analog;
    const graph::MeasureTable m = graph::measures(t, graph::Markers{0, 2}, c);
    return m.rows.value(1).value(3);
}

using panel::cells;

}  // namespace

class TestTimeZones : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(kParis && kSlot0.offsetFromUtc() == 7200 && kSlot1.offsetFromUtc() == 3600); }
    void cleanup() { useLocale(false); }

    void timeTexts_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("text");
        QTest::newRow("last summer second") << kSlot0 << "2026-10-25T02:59:59.325+02:00";
        QTest::newRow("first winter second") << kSlot1 << "2026-10-25T02:00:00.939+01:00";
        QTest::newRow("in UTC") << utc(1, 0, 0, 939) << "2026-10-25T01:00:00.939+00:00";
    }
    void timeTexts()
    {
        QFETCH(QDateTime, when);
        QTEST(acquisition::isoTime(when), "text");
        // Read back: the same instant, shown in local time.
        const QDateTime back = acquisition::fromIsoTime(acquisition::isoTime(when));
        QCOMPARE(back.toMSecsSinceEpoch(), when.toMSecsSinceEpoch());
        QCOMPARE(back.timeSpec(), Qt::LocalTime);
        QCOMPARE(acquisition::shownTime(back), acquisition::shownTime(when.toLocalTime()));
    }

    // Files written before the offset was: the time is local time, as it was.
    void timesWithoutOffset()
    {
        const QDateTime summer = acquisition::fromIsoTime(u"2026-07-01T12:00:00.000");
        QCOMPARE(summer, QDateTime(QDate(2026, 7, 1), QTime(12, 0)));
        QCOMPARE(summer.toUTC().time(), QTime(10, 0));
        QCOMPARE(acquisition::fromIsoTime(u"2026-12-07T14:32:07.412").toUTC().time(), QTime(13, 32, 7, 412));
        QByteArray old("A;0;2026-12-07T14:32:07.412\r\nL;0;2026-12-07T14:32:08.000\r\n");
        acquisition::AcquisitionTimes times;
        const files::TimesRead r = files::applyTimes(old, times, 1, 1);
        QCOMPARE(r.applied, 2);
        QCOMPARE(r.damaged, 0);
        QCOMPARE(times.analog(0), QDateTime(QDate(2026, 12, 7), QTime(14, 32, 7, 412)));
    }

    void timesFileAcrossTheChange_data() { panel::addLocaleRows(); }
    void timesFileAcrossTheChange()
    {
        QFETCH(bool, french);
        useLocale(french);
        const auto t = acrossTheChange();
        const QByteArray bytes = files::timesFileBytes(*t);
        QVERIFY(bytes.contains("A;0;2026-10-25T02:59:59.325+02:00\r\nA;1;2026-10-25T02:00:00.939+01:00\r\n"
                               "A;2;2026-10-25T02:00:55.386+01:00\r\n"));
        QVERIFY(bytes.contains("L;1;2026-10-25T02:00:01.439+01:00\r\n"));
        auto back = std::make_unique<Tables>();
        const files::TimesRead r = files::applyTimes(bytes, back->times, 3, 3);
        QCOMPARE(r.applied, 6);
        for (int n = 0; n < 3; ++n) {
            QCOMPARE(back->times.analog(n).toMSecsSinceEpoch(), t->times.analog(n).toMSecsSinceEpoch());
            QCOMPARE(back->times.logic(n).toMSecsSinceEpoch(), t->times.logic(n).toMSecsSinceEpoch());
        }
        QCOMPARE(deltaT(*back, true), sep("56.06 s", french));
        QCOMPARE(deltaT(*back, false), sep("56.06 s", french));

        // The export's time column keeps the offsets too.
        const QList<QByteArray> rows = files::csvBytes(*t).split('\n');
        QVERIFY(rows[1].startsWith("2026-10-25T02:59:59.325+02:00,0,"));
        QVERIFY(rows[3].startsWith("2026-10-25T02:00:55.386+01:00,2,"));
    }

    // As a person does it: save, open again, two Ctrl-clicks, read Δt.
    void measuresAfterOpening()
    {
        useLocale(true);
        QTemporaryDir dir;
        QString chosen;
        Form1::Setup s;
        s.quitApplication = false;
        s.programDir = dir.path();
        s.askPath = [&chosen](bool, const QString &) { return chosen; };
        Form1 w(s);
        w.show();
        w.n_graph_Click();
        auto *graph = w.findChild<GraphFrame *>(QStringLiteral("Frame6"));
        QVERIFY(graph);
        Tables &t = w.tables();
        const auto recorded = acrossTheChange();
        for (int n = 0; n <= 2; ++n) {
            for (int k = 1; k <= 8; ++k) t.tab_ana(k, n) = recorded->tab_ana(k, n);
            t.times.setAnalog(n, recorded->times.analog(n));
        }
        graph->findChild<QRadioButton *>(QStringLiteral("Option1"))->click();
        for (int legend : {0, 1}) graph->Label56_Click(legend);
        QWidget *area = graph->picture()->area();
        auto ctrl = [area](Qt::MouseButton b, int a) {
            const QPointF at((1000 + (11520.0 - 1000.0) / 100 * a) / 15, 2500.0 / 15);
            panel::mouse(area, QEvent::MouseMove, at, Qt::NoButton, Qt::ControlModifier);
            QTest::mouseClick(area, b, Qt::ControlModifier, at.toPoint());
        };
        auto shownDeltaT = [&] {
            graph->findChild<QPushButton *>(QStringLiteral("Command24"))->click();
            ctrl(Qt::LeftButton, 0);
            ctrl(Qt::RightButton, 2);
            auto *table = graph->measuresWindow()->findChild<QTableWidget *>(QStringLiteral("tableau"));
            return cells(table, 1).value(3);
        };

        chosen = dir.filePath(QStringLiteral("automne.txt"));
        w.n_enregistrer_Click();
        for (int n = 0; n <= 2; ++n) t.times.setAnalog(n, QDateTime());
        w.n_ouvrir_Click();
        QCOMPARE(t.times.analog(2).toMSecsSinceEpoch(), kSlot2.toMSecsSinceEpoch());
        QCOMPARE(shownDeltaT(), QStringLiteral("56,06 s"));

        chosen = dir.filePath(QStringLiteral("journal.csv"));
        QByteArray lines;
        for (const QDateTime &when : {kSlot0, kSlot1, kSlot2}) {
            acquisition::Acquired a;
            a.time = when;
            for (QString &v : a.values) v = QStringLiteral("2.");
            lines += files::journalLine(a);
        }
        QVERIFY(panel::put(chosen, lines));
        w.findChild<QAction *>(QStringLiteral("n_ouvrir_journal"))->trigger();
        QVERIFY2(w.statusText().startsWith(QStringLiteral("Journal")), qPrintable(w.statusText()));
        QCOMPARE(shownDeltaT(), QStringLiteral("56,06 s"));
        // The status line keeps the local clock: slot 2 at 02:00:55,386.
        QCOMPARE(acquisition::shownTime(t.times.analog(2)), QStringLiteral("25/10/2026 02:00:55,386"));

        // The analog file of another save beside the times file: said, and no times.
        chosen = dir.filePath(QStringLiteral("automne.txt"));
        QVERIFY(panel::put(chosen, panel::bytesOf(chosen) + " 1 : 2 : 3 : 4 : 5 : 6 : 7 : 8\r\n"));
        w.n_ouvrir_Click();
        QVERIFY2(w.statusText().contains(QStringLiteral("« automne.txh » ne correspond pas à « automne.txt »")),
                 qPrintable(w.statusText()));
        for (int n = 0; n <= 3; ++n) QVERIFY(!t.times.analog(n).isValid());
    }
};

QTEST_MAIN(TestTimeZones)
#include "test_time_zones.moc"
