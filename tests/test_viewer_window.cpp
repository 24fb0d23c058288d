// The journal browser's window as a person uses it: opened from "Fichier",
// the wheel, drags, double click and keys on the plot, the overview strip,
// the markers and "Mesures", the mouse's readout, the exports, "Suivre" on a
// journal that grows, damaged lines in the status bar. Under a point and a
// comma locale.
#include "graph/measures_widget.h"
#include "shell/form1.h"
#include "support/both_locales.h"
#include "support/controls.h"
#include "support/file_bytes.h"
#include "support/journal_gen.h"
#include "viewer/follower.h"
#include "viewer/journal_plot_widget.h"
#include "viewer/journal_viewer_widget.h"
#include "viewer/overview_widget.h"
#include "viewer/time_axis.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace viewer;

namespace {

// 23:00 on the 7th to 01:46 on the 8th, one line of each frame a second,
// the panel closed for twenty minutes at 23:40.
panel::MadeJournal nightJournal()
{
    panel::MadeJournal j;
    j.start = QDateTime(QDate(2026, 12, 7), QTime(23, 0));
    j.steps = 8800;
    j.pauses = {{2400, 20 * 60 * 1000}};
    j.unitChangeAt = 6000;
    return j;
}

void wheel(QWidget *w, QPointF at, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

using panel::mouse;

// A drag with the left button from one point to another.
void drag(QWidget *w, QPointF from, QPointF to)
{
    mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(w, QEvent::MouseMove, to, Qt::LeftButton);
    mouse(w, QEvent::MouseButtonRelease, to, Qt::LeftButton);
}

// With PRAMELOR_VIEWER_SHOT set, a picture of w beside that file's name.
void shot(QWidget *w, const char *suffix = "")
{
    const QString out = qEnvironmentVariable("PRAMELOR_VIEWER_SHOT");
    if (!out.isEmpty()) w->grab().save(QString(out).replace(QStringLiteral(".png"), suffix + QStringLiteral(".png")));
}

// Ctrl and a button at x pixels into the plot: a marker.
void marker(QWidget *plot, double x, Qt::MouseButton b)
{
    mouse(plot, QEvent::MouseButtonPress, QPointF(plotGeometry(plot->size()).analog.left() + x, 100), b,
          Qt::ControlModifier);
}

}  // namespace

class TestViewerWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    QString journal;
    QString chosen;
    std::unique_ptr<JournalViewer> viewer;

    JournalViewer *open(const QString &path, bool follow = false, bool wait = true)
    {
        JournalViewer::Options o;
        o.askPath = [this](bool, const QString &) { return chosen; };
        o.follow = follow;
        viewer.reset(new JournalViewer(nullptr, path, o));
        viewer->setAttribute(Qt::WA_DeleteOnClose, false);
        viewer->resize(1200, 640);
        viewer->show();
        QSignalSpy ready(viewer.get(), &JournalViewer::ready);
        if (wait && !ready.wait(20000)) qFatal("the journal was not read");
        return viewer.get();
    }
    JournalPlot *plot() const { return viewer->plot(); }
    Span span() const { return plot()->state().span; }
    QString status(const char *name) const
    {
        return panel::control<QLabel>(viewer.get(), QString::fromLatin1(name))->text();
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        journal = dir->filePath(QStringLiteral("nuit.csv"));
        QVERIFY(panel::writeMadeJournal(journal, nightJournal()));
    }
    void cleanup()
    {
        viewer.reset();
        dir.reset();
    }

    void opensFromTheMenu()
    {
        Form1::Setup s;
        s.programDir = dir->path();
        s.userDir = dir->filePath(QStringLiteral("config"));
        s.quitApplication = false;
        s.askPath = [this](bool, const QString &) { return journal; };
        Form1 form(s);
        form.show();
        panel::control<QAction>(&form, QStringLiteral("n_parcourir_journal"))->trigger();
        auto *v = form.findChild<JournalViewer *>();
        QVERIFY(v);
        QCOMPARE(v->windowTitle(), QStringLiteral("Journal — nuit.csv"));
        QSignalSpy ready(v, &JournalViewer::ready);
        QVERIFY(v->loaded() || ready.wait(20000));
        QCOMPARE(v->model()->data().analogCount(), qint64(8800));
        QCOMPARE(panel::control<QCheckBox>(v, QStringLiteral("voie1"))->text(), QStringLiteral("Voie 1 (mV)"));
        QVERIFY(!panel::control<QCheckBox>(v, QStringLiteral("suivre"))->isChecked());
    }

    void wheelZoomsAboutTheMouse()
    {
        open(journal);
        const Span whole = plot()->whole();
        QCOMPARE(span(), whole);
        const PlotGeometry g = plotGeometry(plot()->size());
        const double x = g.analog.left() + g.analog.width() * 0.3;
        const qint64 under = timeAtX(g, span(), x);
        wheel(plot(), QPointF(x, 100), 120);
        QVERIFY(std::abs(double(span().length()) - 0.8 * double(whole.length())) < 2);
        QVERIFY(std::abs(timeAtX(g, span(), x) - under) < span().length() / g.analog.width() + 1);
        wheel(plot(), QPointF(x, 100), -120);
        QCOMPARE(span(), whole);
        // Ctrl: the value axis, the time axis stays.
        const ValueRange before = plot()->state().values;
        wheel(plot(), QPointF(x, 100), 240, Qt::ControlModifier);
        QCOMPARE(span(), whole);
        QVERIFY(plot()->state().values.high - plot()->state().values.low < 0.7 * (before.high - before.low));
    }

    void dragPansAndDoubleClickShowsAll()
    {
        open(journal);
        const Span whole = plot()->whole();
        for (int i = 0; i < 10; ++i) QTest::keyClick(plot(), Qt::Key_Plus);
        const Span zoomedIn = span();
        QVERIFY(zoomedIn.length() < whole.length() / 5);
        const PlotGeometry g = plotGeometry(plot()->size());
        const double msPerPixel = double(zoomedIn.length()) / g.analog.width();
        drag(plot(), QPointF(500, 100), QPointF(600, 100));
        QVERIFY(std::abs(double(zoomedIn.t0 - span().t0) - 100 * msPerPixel) < 2);
        QCOMPARE(span().length(), zoomedIn.length());
        mouse(plot(), QEvent::MouseButtonDblClick, QPointF(600, 100), Qt::LeftButton);
        QCOMPARE(span(), whole);
    }

    void keys()
    {
        open(journal);
        const Span whole = plot()->whole();
        QTest::keyClick(plot(), Qt::Key_Plus);
        QTest::keyClick(plot(), Qt::Key_Plus);
        const Span s = span();
        QVERIFY(std::abs(s.length() - qint64(std::llround(whole.length() * 0.64))) <= 2);
        QTest::keyClick(plot(), Qt::Key_Home);
        QCOMPARE(span().t0, whole.t0);
        QTest::keyClick(plot(), Qt::Key_Right);
        QCOMPARE(span().t0, whole.t0 + s.length() / 10);
        QTest::keyClick(plot(), Qt::Key_End);
        QCOMPARE(span().t1, whole.t1);
        QTest::keyClick(plot(), Qt::Key_Left);
        QCOMPARE(span().t1, whole.t1 - s.length() / 10);
        QTest::keyClick(plot(), Qt::Key_Minus);
        QTest::keyClick(plot(), Qt::Key_Minus);
        QCOMPARE(span(), whole);
    }

    void overviewStrip()
    {
        open(journal);
        OverviewStrip *o = viewer->overview();
        const Span whole = plot()->whole();
        plot()->setSpan(Span{whole.t0, whole.t0 + whole.length() / 4});
        // A click outside the frame centres the span there.
        const qint64 target = whole.t0 + whole.length() * 3 / 4;
        panel::clickAt(o, QPointF(o->xAt(target), 20));
        QVERIFY(std::abs(span().t0 + span().length() / 2 - target) < whole.length() / 500);
        // Dragging the frame moves it; dragging its left edge stretches it.
        const Span s = span();
        const double mid = o->xAt(s.t0 + s.length() / 2);
        drag(o, QPointF(mid, 20), QPointF(mid - 100, 20));
        QCOMPARE(span().length(), s.length());
        QVERIFY(span().t0 < s.t0 - whole.length() / 20);
        const Span moved = span();
        const double left = o->xAt(moved.t0);
        drag(o, QPointF(left, 20), QPointF(left - 50, 20));
        QCOMPARE(span().t1, moved.t1);
        QVERIFY(span().t0 < moved.t0);
    }

    void markersFillTheMeasures()
    {
        open(journal);
        panel::control<QCheckBox>(viewer.get(), QStringLiteral("voie2"))->setChecked(true);
        marker(plot(), 100, Qt::LeftButton);
        marker(plot(), 900, Qt::RightButton);
        const SpanMarkers m = plot()->state().markers;
        QVERIFY(m.a && m.b && *m.a < *m.b);
        QVERIFY(viewer->measures()->isVisible());
        const graph::MeasureTable &t = viewer->measures()->table();
        QCOMPARE(t, spanMeasures(*viewer->model(), m, {true, true}));
        QCOMPARE(t.rows[0][1], shownMs(*m.a));
        QCOMPARE(t.rows[2][0], QStringLiteral("Voie 2 (V)"));
        QVERIFY(!t.rows[2][6].isEmpty());
        QCOMPARE(panel::control<QTableWidget>(viewer->measures(), QStringLiteral("tableau"))->rowCount(),
                 t.rows.size());
        QTest::keyClick(plot(), Qt::Key_Escape);
        QVERIFY(!plot()->state().markers.any());
        QVERIFY(!viewer->measures()->isVisible());
    }

    void mouseReadoutAndGap()
    {
        open(journal);
        const PlotGeometry g = plotGeometry(plot()->size());
        const JournalData &d = viewer->model()->data();
        // Over a line: its time and values; over the gap: no value.
        const qint64 t = d.analogTime[100] + 200;
        mouse(plot(), QEvent::MouseMove, QPointF(xAtTime(g, span(), t), 100), Qt::NoButton);
        const QString over = status("position");
        QVERIFY2(over.startsWith(shownMs(timeAtX(g, span(), xAtTime(g, span(), t))).left(16)), qPrintable(over));
        QVERIFY2(over.contains(QStringLiteral("Voie 1 : ")), qPrintable(over));
        QVERIFY(over.contains(QStringLiteral("Entrées 1 à 8 : ")));
        const qint64 inGap = d.analogTime[2400] + 10 * 60 * 1000;
        mouse(plot(), QEvent::MouseMove, QPointF(xAtTime(g, span(), inGap), 100), Qt::NoButton);
        QVERIFY2(status("position").contains(QStringLiteral("Voie 1 : —")), qPrintable(status("position")));
        QVERIFY(!status("position").contains(QStringLiteral("Entrées")));
        QCOMPARE(status("lignes"), QStringLiteral("8800 lignes analogiques, 8800 lignes logiques"));
    }

    void damagedLinesAreCounted()
    {
        QByteArray bytes = panel::madeJournalBytes(nightJournal());
        bytes.insert(bytes.indexOf("\n", 5000) + 1, "2026-12-07T23:01:00.000,A,abc\r\n2026-12-07T23:01:00");
        bytes += "2026-12-08T01:46:40.000,A,1.00,2";  // cut at the end
        QVERIFY(panel::put(journal, bytes));
        open(journal);
        QVERIFY2(status("lignes").endsWith(QStringLiteral(" ; 2 lignes endommagées ignorées")),
                 qPrintable(status("lignes")));
    }

    void exports()
    {
        open(journal);
        const Span whole = plot()->whole();
        plot()->setSpan(Span{whole.t0 + 60000, whole.t0 + 120000});
        chosen = dir->filePath(QStringLiteral("plage.csv"));
        panel::control<QPushButton>(viewer.get(), QStringLiteral("exporterCsv"))->click();
        QFile csv(chosen);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = csv.readAll().split('\n');
        QCOMPARE(lines.size(), 1 + 120 + 1);
        QVERIFY(lines[0].startsWith("horodatage,trame,voie1 (V)"));
        QVERIFY(lines[1].startsWith("2026-12-07T23:01:00.000+01:00,A,"));
        chosen = dir->filePath(QStringLiteral("plage.png"));
        panel::control<QPushButton>(viewer.get(), QStringLiteral("exporterImage"))->click();
        QImage image(chosen);
        QCOMPARE(image.size(), plot()->size());
        // The journal itself is never the export's target.
        chosen = journal;
        const qint64 size = QFileInfo(journal).size();
        panel::control<QPushButton>(viewer.get(), QStringLiteral("exporterCsv"))->click();
        QCOMPARE(QFileInfo(journal).size(), size);
    }

    void followsAGrowingJournal()
    {
        panel::MadeJournal j = nightJournal();
        const QByteArray all = panel::madeJournalBytes(j);
        const qsizetype cut = all.indexOf('\n', all.size() * 9 / 10) + 7;
        QVERIFY(panel::put(journal, all.first(cut)));
        open(journal, true);
        auto *suivre = panel::control<QCheckBox>(viewer.get(), QStringLiteral("suivre"));
        QVERIFY(suivre->isChecked());
        for (int i = 0; i < 3; ++i) QTest::keyClick(plot(), Qt::Key_Plus);
        QVERIFY(!suivre->isChecked());  // the newest line left the view
        suivre->setChecked(true);
        const qint64 length = span().length();
        QCOMPARE(span().t1, plot()->whole().t1);
        {
            QFile f(journal);
            QVERIFY(f.open(QIODevice::Append) && f.write(all.sliced(cut)) == all.size() - cut);
        }
        viewer->follower()->check();
        QCOMPARE(viewer->model()->data().analogCount(), qint64(8800));
        QCOMPARE(span().t1, plot()->whole().t1);
        QCOMPARE(span().length(), length);
        // Panning back stops following.
        QTest::keyClick(plot(), Qt::Key_Left);
        QVERIFY(!suivre->isChecked());
        QVERIFY(!viewer->follower()->active());
    }

    void followsWithinASecond()
    {
        QByteArray all = panel::madeJournalBytes(nightJournal());
        QVERIFY(panel::put(journal, all.first(all.size() / 2 + 3)));
        open(journal, true);
        QFile f(journal);
        QVERIFY(f.open(QIODevice::Append));
        f.write(all.sliced(all.size() / 2 + 3));
        f.flush();
        QTRY_COMPARE_WITH_TIMEOUT(viewer->model()->data().logicCount(), qint64(8800), 1500);
    }

    void goToADateAndTime()
    {
        open(journal);
        plot()->setSpan(Span{plot()->whole().t0, plot()->whole().t0 + 600000});
        const QDateTime target(QDate(2026, 12, 8), QTime(0, 30, 0));
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!d || d->objectName() != QStringLiteral("allerADialog")) return;
            seen = true;
            panel::control<QDateTimeEdit>(d, QStringLiteral("dateHeure"))->setDateTime(target);
            shot(d, "_aller");
            d->accept();
        });
        panel::control<QPushButton>(viewer.get(), QStringLiteral("allerA"))->click();
        QVERIFY(seen);
        QCOMPARE(span().length(), qint64(600000));
        QCOMPARE(span().t0 + span().length() / 2, target.toMSecsSinceEpoch());
    }

    void gapsAreBreaks()
    {
        panel::MadeJournal j = nightJournal();
        j.unitChangeAt = -1;
        QVERIFY(panel::writeMadeJournal(journal, j));
        open(journal);
        const JournalData &d = viewer->model()->data();
        PlotState s = plot()->state();
        s.shown = {false, true};  // channel 2, red
        for (const qint64 length : {qint64(3600000), plot()->whole().length()}) {
            s.span = Span{d.analogTime[2400] - length / 2, d.analogTime[2401] + length / 2};
            QImage image(1200, 600, QImage::Format_RGB32);
            {
                QPainter p(&image);
                paintPlot(p, image.size(), s);
            }
            const PlotGeometry g = plotGeometry(image.size());
            auto redIn = [&](int x) {
                for (int y = g.analog.top() + 1; y < g.analog.bottom(); ++y)
                    if (image.pixelColor(x, y) == QColor(255, 0, 0)) return true;
                return false;
            };
            const int before = int(std::floor(xAtTime(g, s.span, d.analogTime[2400])));
            const int after = int(std::ceil(xAtTime(g, s.span, d.analogTime[2401])));
            QVERIFY2(after - before > 4, qPrintable(QString::number(after - before)));
            for (int x = before + 2; x <= after - 2; ++x) QVERIFY2(!redIn(x), qPrintable(QString::number(x)));
            QVERIFY(redIn(before - 1) && redIn(after + 1));
        }
    }

    void cancelledWhileReading()
    {
        panel::MadeJournal j = nightJournal();
        j.steps = 150000;  // some 16 MB: read in several pieces
        QVERIFY(panel::writeMadeJournal(journal, j));
        open(journal, false, false);
        QSignalSpy ready(viewer.get(), &JournalViewer::ready);
        shot(viewer.get(), "_lecture");
        panel::control<QPushButton>(viewer.get(), QStringLiteral("annuler"))->click();
        QVERIFY(ready.wait(20000));
        QVERIFY(!viewer->loaded());
        QVERIFY(!viewer->isVisible());
    }

    void unreadableJournal()
    {
        open(dir->filePath(QStringLiteral("absent.csv")));
        QVERIFY(!viewer->loaded());
        QVERIFY2(status("position").startsWith(QStringLiteral("Impossible de lire le journal")),
                 qPrintable(status("position")));
        QVERIFY(!panel::control<QPushButton>(viewer.get(), QStringLiteral("exporterCsv"))->isEnabled());
    }

    void picture()
    {
        panel::MadeJournal j = nightJournal();
        j.unitChangeAt = -1;
        QVERIFY(panel::writeMadeJournal(journal, j));
        open(journal);
        plot()->setSpan(Span{plot()->whole().t0 + 25 * 60000, plot()->whole().t0 + 95 * 60000});
        for (const char *name : {"voie2", "voie3", "voie4"})
            panel::control<QCheckBox>(viewer.get(), QString::fromLatin1(name))->setChecked(true);
        marker(plot(), 150, Qt::LeftButton);
        marker(plot(), 700, Qt::RightButton);
        mouse(plot(), QEvent::MouseMove, QPointF(plotGeometry(plot()->size()).analog.left() + 900, 100), Qt::NoButton);
        QApplication::processEvents();  // the layout takes the units into the boxes
        shot(viewer.get());
        shot(viewer->measures(), "_mesures");
        QVERIFY(!viewer->grab().isNull());
    }
};

int main(int argc, char **argv) { return panel::runUnderBothLocales<TestViewerWindow, QApplication>(argc, argv); }

#include "test_viewer_window.moc"
