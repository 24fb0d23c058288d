// "Suivi en direct" against the simulated board: cyclic acquisitions every
// 2 s with "Mémorisation" change the graph after each decode without
// "Tracer"; a zoomed view stays as it is; the other frame's acquisitions do
// not redraw the analog view.
#include "acquisition/tables.h"
#include "graph/graph_frame_widget.h"
#include "support/panel_fixture.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

class TestGraphLiveE2e : public QObject {
    Q_OBJECT

private slots:
    void followsTheRecording()
    {
        panel::Bench b;
        QVERIFY(b.open());
        b.board->setReplyPieces(1);
        Form1 &w = *b.form;
        w.n_graph_Click();
        auto *g = b.child<GraphFrame>(QStringLiteral("Frame6"));
        b.child<QRadioButton>(QStringLiteral("Option1"))->click();
        g->Label56_Click(2);  // "Voie 3": the simulator's steady 128
        b.click(QStringLiteral("suivi_direct"));
        QVERIFY(b.child<QCheckBox>(QStringLiteral("suivi_direct"))->isChecked());
        g->Command24_Click();

        w.Image2_Click();  // master switch on
        b.memorise(true);
        b.startCyclic(true, QStringLiteral("Toutes les 2 secondes"));
        b.startCyclic(false, QStringLiteral("Toutes les 2 secondes"));

        // Each analog decode memorises the next slot and shows it at once.
        QImage before = g->surfaceImage();
        for (int n = 1; n <= 2; ++n) {
            QTRY_COMPARE_WITH_TIMEOUT(w.tables().indice_a, n, 6000);
            const QImage after = g->surfaceImage();
            QVERIFY2(after != before, qPrintable(QStringLiteral("decode %1").arg(n)));
            QCOMPARE(g->mode_zoom(), 0);
            before = after;
        }
        // Logic acquisitions go on meanwhile and leave the analog view alone.
        QVERIFY(w.tables().indice_l > 0);

        // Zoomed on the first acquisitions: the next decodes leave the zoom.
        g->Picture1_MouseMove(0, 0, 1000, 2500);
        g->Picture1_MouseDown(1, 0, 1000, 2500);
        QCOMPARE(g->mode_zoom(), 1);
        const QImage zoom = g->surfaceImage();
        const int stored = w.tables().indice_a;
        QTRY_COMPARE_WITH_TIMEOUT(w.tables().indice_a, stored + 1, 6000);
        QCOMPARE(g->surfaceImage(), zoom);
        b.close();
    }
};

QTEST_MAIN(TestGraphLiveE2e)
#include "test_graph_live_e2e.moc"
