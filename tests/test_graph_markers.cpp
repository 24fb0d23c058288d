// The live view and the measuring markers as a person uses them: Ctrl-clicks
// on the surface, the dashed lines over the traces, the "Mesures" window and
// its "Copier", what clears the markers, and "Suivi en direct" redrawing the
// full view at each memorised acquisition.

#include "acquisition/tables.h"
#include "files/journal.h"
#include "graph/graph_frame_widget.h"
#include "graph/measures_widget.h"
#include "graph/picture_widget.h"
#include "shell/form1.h"
#include "support/both_locales.h"
#include "support/controls.h"
#include "ui/twips.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

constexpr double kStep100 = (11520.0 - 1000.0) / 100;
constexpr double kStepZoom = (11520.0 - 1000.0) / 10;
double xOf(int a) { return 1000 + kStep100 * a; }

const QColor kDarkBlue(0, 0, 128);
const QColor kDarkRed(128, 0, 0);

// Channel k rises by k each slot from 10·k; logic input k toggles every k + 1 slots.
void fill(Tables &t)
{
    for (int k = 1; k <= 8; ++k)
        for (int a = 0; a < Tables::kSlots; ++a) t.tab_ana(k, a) = Element::number((10 * k + k * a) % 255);
    for (int k = 0; k < 8; ++k)
        for (int a = 0; a < Tables::kSlots; ++a) t.tab_log[size_t(8 * a + k)] = Element::number((a / (k + 2)) % 2);
}

// Pixels of colour c in the pixel column near x (twips) of the picture.
int inColumn(const QImage &img, double x, const QColor &c)
{
    const int px = int(x / kTwipsPerPixel);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int dx = -1; dx <= 2; ++dx) n += img.pixelColor(std::clamp(px + dx, 0, img.width() - 1), y) == c;
    return n;
}

using panel::cells;

}  // namespace

class TestGraphMarkers : public QObject {
    Q_OBJECT

    std::unique_ptr<Tables> t_;
    std::unique_ptr<QWidget> host_;
    GraphFrame *f_ = nullptr;

    template <class W>
    W *get(const char *name) const
    {
        return panel::control<W>(f_, QString::fromLatin1(name));
    }
    QWidget *area() const { return f_->picture()->area(); }
    // A press of the mouse on the surface at (x, y) in twips, as Qt delivers it.
    void press(Qt::MouseButton b, double x, double y, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        const QPointF at(x / 15, y / 15);
        QMouseEvent move(QEvent::MouseMove, at, area()->mapToGlobal(at), Qt::NoButton, Qt::NoButton, m);
        QApplication::sendEvent(area(), &move);
        QTest::mouseClick(area(), b, m, at.toPoint());
    }
    void ctrl(Qt::MouseButton b, double x) { press(b, x, 2500, Qt::ControlModifier); }
    void choose(bool analog)
    {
        get<QRadioButton>(analog ? "Option1" : "Option2")->click();
        if (analog)
            for (int slot : {0, 2}) f_->Label56_Click(slot);
    }
    QTableWidget *measuresTable() const
    {
        MeasuresWindow *w = f_->measuresWindow();
        return w ? w->findChild<QTableWidget *>(QStringLiteral("tableau")) : nullptr;
    }
    QImage overlay() const { return area()->grab().toImage(); }

private slots:
    void init()
    {
        t_ = std::make_unique<Tables>();
        fill(*t_);
        host_ = std::make_unique<QWidget>();
        host_->resize(820, 620);
        f_ = new GraphFrame(*t_, host_.get());
        f_->setGeometry(twips(0, 60, 12000, 8235));
        host_->show();
        QApplication::setActiveWindow(host_.get());
        QVERIFY(QTest::qWaitForWindowActive(host_.get()));
    }
    void cleanup()
    {
        host_.reset();
        QLocale::setDefault(QLocale::c());
    }

    // ------------------------------------------------------------ the check box

    void liveBox()
    {
        auto *box = get<QCheckBox>("suivi_direct");
        QCOMPARE(box->text(), QStringLiteral("Suivi en direct"));
        QVERIFY(!box->isChecked());
        // It overlaps no control of the command area (its text fits: test_scaling's captionsStayWhole).
        for (QWidget *w : box->parentWidget()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            if (w != box && w->objectName() != u"aide")
                QVERIFY2(!w->geometry().intersects(box->geometry()), qPrintable(w->objectName()));
        QVERIFY(box->geometry().bottom() < get<QLabel>("aide")->geometry().top());
        // Hovering it explains it.
        panel::mouse(box, QEvent::MouseMove, {3, 3});
        QCOMPARE(get<QLabel>("aide")->text(), QStringLiteral("Redessine le graphique à chaque acquisition mémorisée"));
    }

    // ------------------------------------------------------------ markers

    void ctrlClicksSetMarkers_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<bool>("zoomed");
        QTest::newRow("analog, full view") << true << false;
        QTest::newRow("logic, zoom") << false << true;
    }
    void ctrlClicksSetMarkers()
    {
        QFETCH(bool, analog);
        QFETCH(bool, zoomed);
        choose(analog);
        f_->Command24_Click();
        if (zoomed) press(Qt::LeftButton, xOf(40), 2500);  // a plain click zooms
        QCOMPARE(f_->mode_zoom(), zoomed ? 1 : 0);
        const int first = zoomed ? f_->acqui_curseur() : 0;
        const double step = zoomed ? kStepZoom : kStep100;
        const QImage before = f_->surfaceImage();

        ctrl(Qt::LeftButton, 1000 + step * 3);
        ctrl(Qt::RightButton, 1000 + step * 7);
        QCOMPARE(f_->markers(), (graph::Markers{first + 3, first + 7}));
        // No zoom, no return, no annotation: the surface is as it was.
        QCOMPARE(f_->mode_zoom(), zoomed ? 1 : 0);
        QCOMPARE(f_->acqui_curseur(), zoomed ? first : 7);
        QCOMPARE(f_->surfaceImage(), before);
        // The marked acquisitions are those the readout names under the mouse.
        QCOMPARE(get<QLabel>("Label59")->text(), QStringLiteral("Acquisition N°: %1").arg(first + 7));

        QCOMPARE(f_->picture()->markers().size(), size_t(2));
        // Dashed lines of the overlay: on the picture, not in the image.
        QCOMPARE(inColumn(before, 1000 + step * 3, kDarkBlue), 0);
        const QImage shown = overlay();
        QVERIFY(inColumn(shown, 1000 + step * 3, kDarkBlue) > 60);
        QVERIFY(inColumn(shown, 1000 + step * 7, kDarkRed) > 60);
        QVERIFY(f_->measuresWindow() && f_->measuresWindow()->isVisible());
        // The area took the keyboard: Escape there clears both.
        QVERIFY(area()->hasFocus());
        QTest::keyClick(area(), Qt::Key_Escape);
        QCOMPARE(f_->markers(), graph::Markers{});
        QVERIFY(f_->picture()->markers().empty());
        QVERIFY(!f_->measuresWindow()->isVisible());
    }

    // The markers stand over the traces: "Tracer" leaves them, a zoom moves
    // them with their acquisitions, and the return brings them back.
    void markersFollowTheView()
    {
        choose(true);
        f_->Command24_Click();
        ctrl(Qt::LeftButton, xOf(49));
        ctrl(Qt::RightButton, xOf(60));
        f_->Command24_Click();
        QVERIFY(inColumn(overlay(), xOf(49), kDarkBlue) > 60);

        press(Qt::LeftButton, xOf(50), 2500);  // the analog zoom opens at 45
        QCOMPARE(f_->acqui_curseur(), 45);
        auto lines = f_->picture()->markers();
        QCOMPARE(int(lines.size()), 1);  // 60 lies past the zoom
        QCOMPARE(lines[0].line.x1(), 1000 + kStepZoom * 4);

        press(Qt::LeftButton, xOf(50), 2500);  // back to the full view
        QCOMPARE(f_->mode_zoom(), 0);
        QCOMPARE(f_->picture()->markers().size(), size_t(2));
        // Fewer acquisitions: the view changes, so do the lines.
        get<QScrollBar>("HScroll1")->setValue(50);
        lines = f_->picture()->markers();
        QCOMPARE(int(lines.size()), 1);
        QCOMPARE(lines[0].line.x1(), 1000 + (11520.0 - 1000.0) / 50 * 49);
    }

    // Plain clicks zoom and annotate as they always did, markers or not
    // (their rules: test_graph_frame's analogModeTransitions and
    // logicRightClickZooms); Ctrl + right in logic only marks.
    void plainClicksAsBefore()
    {
        choose(true);
        f_->Command24_Click();
        ctrl(Qt::LeftButton, xOf(20));
        press(Qt::RightButton, xOf(30), 2000);  // the annotation
        QCOMPARE(f_->mode_zoom(), 0);
        QCOMPARE(f_->markers(), (graph::Markers{20, std::nullopt}));
        press(Qt::LeftButton, xOf(30), 2000);  // the zoom
        QCOMPARE(f_->acqui_curseur(), 25);
        choose(false);
        f_->Command24_Click();
        ctrl(Qt::RightButton, xOf(10));
        QCOMPARE(f_->mode_zoom(), 0);
        press(Qt::RightButton, xOf(10), 2000);
        QCOMPARE(f_->mode_zoom(), 1);
    }

    // ------------------------------------------------------------ the "Mesures" window

    void measuresWindow_data() { panel::addLocaleRows(); }
    void measuresWindow()
    {
        QFETCH(bool, french);
        panel::useLocale(french);
        const QChar sep = french ? u',' : u'.';
        // Channel 1 from slot 10: 51, 102, 153 (1, 2, 3 V); channel 3: 25.5 everywhere (0.5 V).
        for (int a = 10; a <= 12; ++a) {
            t_->tab_ana(1, a) = Element::number(51 * (a - 9));
            t_->tab_ana(3, a) = Element::text(QStringLiteral("25") + sep + u'5');
        }
        f_->setUnits([](int k) { return k == 3 ? QStringLiteral("mA") : QStringLiteral("V"); });
        choose(true);
        get<QLineEdit>("coeff")->setText(QStringLiteral("2"));
        f_->Command24_Click();
        ctrl(Qt::LeftButton, xOf(10));
        QVERIFY(f_->measuresWindow()->isVisible());
        QCOMPARE(f_->measuresWindow()->windowTitle(), QStringLiteral("Mesures"));
        ctrl(Qt::RightButton, xOf(12));
        QTableWidget *t = measuresTable();
        QVERIFY(t);
        QCOMPARE(t->horizontalHeaderItem(6)->text(), QStringLiteral("Moyenne"));
        QCOMPARE(t->rowCount(), 5);
        auto n = [sep](const char *s) { return QString::fromLatin1(s).replace(u'.', sep); };
        QCOMPARE(cells(t, 0), (QStringList{"Acquisition N°", "10", "12", "2", "", "", "", ""}));
        QCOMPARE(cells(t, 3).value(2), n("6.00"));
        QCOMPARE(cells(t, 4),
                 (QStringList{"Voie 3 (mA)", n("1.00"), n("1.00"), n("0.00"), n("1.00"), n("1.00"), n("1.00"), ""}));

        // "Copier": the same table, tab-separated.
        QTest::mouseClick(f_->measuresWindow()->findChild<QPushButton *>(QStringLiteral("copier")), Qt::LeftButton);
        const QStringList copied = QApplication::clipboard()->text().split(u'\n');
        QCOMPARE(copied[0], QStringLiteral("Mesure\tA\tB\tΔ (B − A)\tMinimum\tMaximum\tMoyenne\tΔ/Δt (par s)"));
        QCOMPARE(copied[5], cells(t, 4).join(u'\t'));

        // A legend click and the logic layout change what is measured.
        f_->Label56_Click(2);
        QCOMPARE(t->rowCount(), 4);
        choose(false);
        QCOMPARE(t->rowCount(), 3 + 8);
        QCOMPARE(t->horizontalHeaderItem(4)->text(), QStringLiteral("Fronts montants"));

        // Closed by the user, opened again by the next marker.
        f_->measuresWindow()->close();
        QVERIFY(!f_->measuresWindow()->isVisible());
        ctrl(Qt::LeftButton, xOf(11));
        QVERIFY(f_->measuresWindow()->isVisible());
        QCOMPARE(cells(measuresTable(), 0).mid(1, 3), (QStringList{"11", "12", "1"}));
    }

    // "Retour" takes the window away with the graph; "Graphique" brings it
    // back, unless the user had closed it.
    void measuresGoWithTheGraph()
    {
        ctrl(Qt::LeftButton, xOf(5));
        MeasuresWindow *m = f_->measuresWindow();
        get<QPushButton>("Command25")->click();
        QVERIFY(!f_->isVisible());
        QVERIFY(!m->isVisible());
        f_->showView();
        QVERIFY(m->isVisible());
        m->close();
        get<QPushButton>("Command25")->click();
        f_->showView();
        QVERIFY(!m->isVisible());
    }

    // A frame of its own goes while "0" is being typed in its coefficient
    // box and the measures are shown: the end of the editing that its
    // closing brings reaches nothing (the sanitised run checks it).
    void closedWhileTyping()
    {
        auto own = std::make_unique<GraphFrame>(*t_, nullptr);
        f_ = own.get();
        own->show();
        QApplication::setActiveWindow(own.get());
        QVERIFY(QTest::qWaitForWindowActive(own.get()));
        ctrl(Qt::LeftButton, xOf(5));
        auto *c = get<QLineEdit>("coeff");
        c->setFocus();
        QTest::keyClicks(c, QStringLiteral("0"));
        QVERIFY(c->hasFocus());
        own.reset();
        f_ = nullptr;
    }

    // ------------------------------------------------------------ live view

    void liveRedraw_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("analogFrame");  // the frame that decoded
        QTest::addColumn<int>("slot");          // -1: not memorised
        QTest::addColumn<bool>("redrawn");
        QTest::newRow("ticked, analog") << true << true << true << 50 << true;
        QTest::newRow("unticked") << false << true << true << 50 << false;
        QTest::newRow("graph hidden") << true << false << true << 50 << false;
        QTest::newRow("the other frame") << true << true << false << 50 << false;
        QTest::newRow("not memorised") << true << true << true << -1 << false;
    }
    void liveRedraw()
    {
        QFETCH(bool, ticked);
        QFETCH(bool, shown);
        QFETCH(bool, analogFrame);
        QFETCH(int, slot);
        QFETCH(bool, redrawn);
        choose(true);
        f_->Command24_Click();
        get<QCheckBox>("suivi_direct")->setChecked(ticked);
        ctrl(Qt::LeftButton, xOf(50));
        press(Qt::RightButton, xOf(20), 1000);  // an annotation
        if (!shown) get<QPushButton>("Command25")->click();
        const QImage before = f_->surfaceImage();

        t_->tab_ana(1, 50) = Element::text(QStringLiteral("250."));  // memorised, as a decode stores it
        acquisition::Acquired a;
        a.channel = analogFrame ? Channel::Analog : Channel::Logic;
        a.slot = slot;
        f_->acquisitionDecoded(a);

        if (!redrawn) {
            QCOMPARE(f_->surfaceImage(), before);
            return;
        }
        const QImage after = f_->surfaceImage();
        QVERIFY(after != before);
        // Exactly what "Tracer" draws: the annotation is gone, the new point there.
        f_->Command24_Click();
        QCOMPARE(after, f_->surfaceImage());
        QCOMPARE(f_->mode_zoom(), 0);
        // The markers stay, and their measures follow the new value.
        QCOMPARE(f_->picture()->markers().size(), size_t(1));
        QCOMPARE(cells(measuresTable(), 3).value(1), QStringLiteral("4.90"));  // 250 × 5 / 255
    }

    // Zoomed, the view waits; the return to the full view shows what came.
    void liveZoomWaits()
    {
        choose(true);
        get<QCheckBox>("suivi_direct")->setChecked(true);
        f_->Command24_Click();
        press(Qt::LeftButton, xOf(48), 2500);
        const QImage zoom = f_->surfaceImage();
        t_->tab_ana(1, 50) = Element::number(250);
        acquisition::Acquired a;
        a.slot = 50;
        f_->acquisitionDecoded(a);
        QCOMPARE(f_->surfaceImage(), zoom);
        press(Qt::LeftButton, xOf(48), 2500);
        const QImage full = f_->surfaceImage();
        f_->Command24_Click();
        QCOMPARE(full, f_->surfaceImage());
        f_->acquisitionDecoded(a);
        QCOMPARE(full, f_->surfaceImage());
    }

    // ------------------------------------------------------------ in the main window

    // The window hands the units to the graph (the decoded acquisitions reach
    // it too: test_graph_live_e2e); opening a file or a journal, "RAZ
    // tableaux" and "Aléatoire" clear the markers.
    void inTheWindow()
    {
        QTemporaryDir dir;
        QString chosen;
        Form1::Setup s;
        s.quitApplication = false;
        s.programDir = dir.path();
        s.askPath = [&chosen](bool, const QString &) { return chosen; };
        Form1 w(s);
        w.show();
        w.n_graph_Click();
        f_ = w.findChild<GraphFrame *>(QStringLiteral("Frame6"));
        w.findChild<QLineEdit *>(QStringLiteral("u_ana3"))->setText(QStringLiteral("mA"));
        choose(true);
        f_->Command24_Click();
        ctrl(Qt::LeftButton, xOf(0));
        ctrl(Qt::RightButton, xOf(1));
        QCOMPARE(cells(measuresTable(), 4).value(0), QStringLiteral("Voie 3 (mA)"));

        chosen = dir.filePath(QStringLiteral("essai.txt"));
        w.n_enregistrer_Click();
        w.n_ouvrir_Click();
        QCOMPARE(f_->markers(), graph::Markers{});
        ctrl(Qt::LeftButton, xOf(3));
        chosen = dir.filePath(QStringLiteral("journal.csv"));
        {
            acquisition::Acquired a;
            a.time = QDateTime::currentDateTime();
            for (QString &v : a.values) v = QStringLiteral("1.");
            QFile j(chosen);
            QVERIFY(j.open(QIODevice::WriteOnly));
            j.write(files::journalLine(a));
        }
        w.findChild<QAction *>(QStringLiteral("n_ouvrir_journal"))->trigger();
        QVERIFY2(w.statusText().startsWith(QStringLiteral("Journal")), qPrintable(w.statusText()));
        QCOMPARE(f_->markers(), graph::Markers{});
        for (const char *button : {"Command3", "Command23"}) {
            ctrl(Qt::LeftButton, xOf(3));
            QVERIFY(f_->markers().any());
            QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton);
            QCOMPARE(f_->markers(), graph::Markers{});
        }
        f_ = nullptr;
    }
};

QTEST_MAIN(TestGraphMarkers)
#include "test_graph_markers.moc"
