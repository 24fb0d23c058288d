// The graph frame as the user works it: controls, readouts, zoom clicks,
// cursors, legends, and pictures of the plotted views.

#include "acquisition/tables.h"
#include "graph/graph_frame_widget.h"
#include "graph/picture_widget.h"
#include "support/controls.h"
#include "ui/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <memory>

namespace {

constexpr double kStep100 = (11520.0 - 1000.0) / 100;

// X of the point of acquisition a in the full view at 100 acquisitions.
double xOf(int a) { return 1000 + kStep100 * a; }

// Channel k rises by k each slot from 30·k; logic input k toggles every k + 2 slots.
void fill(Tables &t)
{
    for (int k = 1; k <= 8; ++k)
        for (int a = 0; a < Tables::kSlots; ++a) t.tab_ana(k, a) = Element::number((30 * k + k * a) % 255);
    for (int k = 0; k < 8; ++k)
        for (int a = 0; a < Tables::kSlots; ++a) t.tab_log[size_t(8 * a + k)] = Element::number((a / (k + 2)) % 2);
}

int countColour(const QImage &img, QRgb c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) n += (line[x] & 0xffffff) == (c & 0xffffff);
    }
    return n;
}

}  // namespace

class TestGraphFrame : public QObject {
    Q_OBJECT

    std::unique_ptr<Tables> t_;
    std::unique_ptr<GraphFrame> f_;

    template <class W>
    W *get(const char *name) const
    {
        return panel::control<W>(f_.get(), QString::fromLatin1(name));
    }
    QLabel *label(const char *name) const { return get<QLabel>(name); }
    void chooseAnalog() { get<QRadioButton>("Option1")->click(); }
    // The coefficient box with the keyboard and its text selected, in a
    // window that is shown and active.
    QLineEdit *focusedCoeff()
    {
        f_->show();
        QApplication::setActiveWindow(f_.get());
        if (!QTest::qWaitForWindowActive(f_.get())) qFatal("the graph frame never became active");
        auto *c = get<QLineEdit>("coeff");
        c->setFocus();
        c->selectAll();
        return c;
    }

private slots:
    void init()
    {
        t_ = std::make_unique<Tables>();
        f_ = std::make_unique<GraphFrame>(*t_, nullptr);
    }
    void cleanup() { f_.reset(); }

    void startState()
    {
        QCOMPARE(f_->title(), QStringLiteral("Mode graphique"));
        QVERIFY(get<QRadioButton>("Option2")->isChecked());
        QCOMPARE(get<QScrollBar>("HScroll1")->value(), 100);
        QCOMPARE(label("Label61")->text(), QStringLiteral("100"));
        QCOMPARE(get<QLineEdit>("coeff")->text(), QStringLiteral("1"));
        QCOMPARE(label("Label56_0")->text(), QStringLiteral("Voie 8"));
        QCOMPARE(label("Label56_7")->text(), QStringLiteral("Voie 1"));
        QCOMPARE(f_->mode_zoom(), 0);
    }

    void scrollBarsSetTheirLabels()
    {
        get<QScrollBar>("HScroll1")->setValue(250);
        QCOMPARE(label("Label61")->text(), QStringLiteral("250"));
        QCOMPARE(t_->nbre_acqui, 250);
        get<QScrollBar>("HScroll2")->setValue(5);
        QCOMPARE(label("Label63")->text(), QStringLiteral("5"));
        QCOMPARE(f_->picture()->surface().width(), 5);
    }

    // Set while nobody types in it, the guard applies when the plot reads it
    // ("plot"); typed key by key, the box holds what was typed and the guard
    // waits for the end of the editing: Enter, or the focus going elsewhere.
    void coeffGuard_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("ends");  // "plot", "", "enter" or "focus"
        QTest::addColumn<QString>("kept");
        QTest::newRow("0, plot") << "0" << QStringLiteral("plot") << QStringLiteral("1");
        for (const char *s : {"00", "0.0", "0,0", "", "0.5", "0,1", " 0"})
            QTest::addRow("%s, plot", s) << s << QStringLiteral("plot") << s;
        for (const char *s : {"0,1", "0"}) QTest::addRow("%s typed", s) << s << QString() << s;
        QTest::newRow("0 then Enter") << "0" << QStringLiteral("enter") << QStringLiteral("1");
        QTest::newRow("0 then elsewhere") << "0" << QStringLiteral("focus") << QStringLiteral("1");
        QTest::newRow("00 then elsewhere") << "00" << QStringLiteral("focus") << QStringLiteral("00");
    }
    void coeffGuard()
    {
        QFETCH(QString, typed);
        QFETCH(QString, ends);
        if (ends == u"plot") {
            get<QLineEdit>("coeff")->setText(QStringLiteral("7"));
            get<QLineEdit>("coeff")->setText(typed);
            f_->Command24_Click();
            QTEST(get<QLineEdit>("coeff")->text(), "kept");
            return;
        }
        QLineEdit *c = focusedCoeff();
        QTest::keyClick(c, Qt::Key_Delete);
        QTest::keyClicks(c, typed);
        QCOMPARE(c->text(), typed);
        if (ends == u"enter") QTest::keyClick(c, Qt::Key_Return);
        if (ends == u"focus") get<QPushButton>("Command24")->setFocus();
        QTEST(c->text(), "kept");
    }

    // While "0" is being typed the readout already counts it as 1, and the
    // box is left alone.
    void coeffReadWhileTyping()
    {
        chooseAnalog();
        QLineEdit *c = focusedCoeff();
        QTest::keyClicks(c, QStringLiteral("0"));
        f_->Picture1_MouseMove(0, 0, 2000, 3000);
        QCOMPARE(label("Label64")->text(), QStringLiteral("2."));
        QCOMPARE(c->text(), QStringLiteral("0"));
        QTest::keyClicks(c, QStringLiteral(".5"));
        f_->Picture1_MouseMove(0, 0, 2000, 3000);
        QCOMPARE(label("Label64")->text(), QStringLiteral("1."));
        QCOMPARE(c->text(), QStringLiteral("0.5"));
    }

    // A legend's clicks and moves are its own: the flag and the help text
    // change, the surface, the zoom and the readouts do not.
    void legendsKeepTheSurface_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<bool>("zoomed");
        QTest::newRow("analog zoomed") << true << true;
        QTest::newRow("logic") << false << false;
    }
    void legendsKeepTheSurface()
    {
        QFETCH(bool, analog);
        QFETCH(bool, zoomed);
        fill(*t_);
        if (analog) chooseAnalog();
        f_->Label56_Click(0);
        f_->Command24_Click();
        f_->Picture1_MouseMove(0, 0, xOf(40), 3000);
        if (zoomed) f_->Picture1_MouseDown(1, 0, xOf(40), 3000);
        const QImage before = f_->surfaceImage();
        const int zoom = f_->mode_zoom(), under = f_->acqui_curseur();
        const QString number = label("Label59")->text();

        QLabel *l = label("Label56_3");
        for (const QPointF at : {QPointF(5, 5), QPointF(20, 8)}) panel::mouse(l, QEvent::MouseMove, at);
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) panel::clickAt(l, {5, 5}, b);
        QCOMPARE(f_->selection()[3], 1);  // the left click toggled the flag
        QCOMPARE(f_->annotationColour(), QColor(255, 255, 0));
        QVERIFY(label("aide")->text().startsWith(QStringLiteral("En analogique, cliquer")));
        QCOMPARE(f_->mode_zoom(), zoom);
        QCOMPARE(f_->acqui_curseur(), under);
        QCOMPARE(label("Label59")->text(), number);
        QCOMPARE(f_->surfaceImage(), before);
    }

    // The second press of a double click is not a new press: on the surface
    // a double click zooms once, on a legend it toggles once.
    void doubleClicks()
    {
        fill(*t_);
        chooseAnalog();
        f_->Label56_Click(0);
        f_->Command24_Click();
        auto doubleClick = [](QWidget *w, QPointF at) {
            panel::clickAt(w, at);
            panel::mouse(w, QEvent::MouseButtonDblClick, at, Qt::LeftButton);
            panel::mouse(w, QEvent::MouseButtonRelease, at, Qt::LeftButton);
        };
        QWidget *area = f_->picture()->area();
        const QPointF at(xOf(40) / kTwipsPerPixel, 200);
        panel::mouse(area, QEvent::MouseMove, at);
        QCOMPARE(f_->acqui_curseur(), 40);
        doubleClick(area, at);
        QCOMPARE(f_->mode_zoom(), 1);
        QCOMPARE(f_->acqui_curseur(), 35);
        doubleClick(area, at);
        QCOMPARE(f_->mode_zoom(), 0);

        doubleClick(label("Label56_5"), QPointF(5, 5));
        QCOMPARE(f_->selection()[5], 1);
        QCOMPARE(label("Label56_5")->frameShape(), QFrame::Box);
        QCOMPARE(f_->mode_zoom(), 0);
        doubleClick(label("Label56_5"), QPointF(5, 5));
        QCOMPARE(f_->selection()[5], 0);
    }

    // A channel at 255 lies just above the top edge all the way: the full
    // view shows nothing of it, not even in its last pixel column, where a
    // segment on to the empty slot after the last acquisition would fall.
    void fullViewEndsAtTheLastAcquisition_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("10") << 10;
        QTest::newRow("1000") << 1000;
    }
    void fullViewEndsAtTheLastAcquisition()
    {
        QFETCH(int, count);
        chooseAnalog();
        get<QScrollBar>("HScroll1")->setValue(count);
        for (int a = 0; a <= count; ++a) t_->tab_ana(2, a) = Element::number(255);
        f_->Label56_Click(1);
        get<QScrollBar>("HScroll2")->setValue(5);
        f_->Command24_Click();
        QCOMPARE(countColour(f_->surfaceImage(), qRgb(255, 0, 0)), 0);
    }

    void numberOfAcquisitionsFits()
    {
        QLabel *l = label("Label61");
        get<QScrollBar>("HScroll1")->setValue(1000);
        QCOMPARE(l->text(), QStringLiteral("1000"));
        QCOMPARE_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text()));
        QCOMPARE(l->x(), twipsToPx(4020));
        // It stays clear of the separator after it.
        QVERIFY(l->geometry().right() < get<QWidget>("Line34_1")->x());
    }

    void helpTexts()
    {
        f_->Command23_MouseMove();
        QCOMPARE(label("aide")->text(),
                 QStringLiteral("Remplissage les tableaux de valeurs avec des nombres aléatoires"));
        // A real move over the box reaches its handler.
        panel::mouse(get<QLineEdit>("coeff"), QEvent::MouseMove, {3, 3});
        QVERIFY(label("aide")->text().startsWith(QStringLiteral("Le coefficient = 1")));
    }

    // The value's figures under both locales: test_graph's readoutLogic.
    void readout_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<QString>("coeff");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("number");
        QTest::newRow("axis") << true << "1" << 960.0 << 3000.0 << QStringLiteral("2.") << 0;
        QTest::newRow("nearest") << true << "2" << 6750.0 << 3000.0 << QStringLiteral("4.") << 55;
        QTest::newRow("comma") << true << "0,5" << 11520.0 << 4020.0 << QStringLiteral("0.5") << 100;
        QTest::newRow("left") << true << "1" << 800.0 << 0.0 << QStringLiteral("4.94") << -2;
        QTest::newRow("no number") << true << "abc" << 2052.0 << 3000.0 << QStringLiteral("kept") << 10;
        QTest::newRow("logic") << false << "1" << 2052.0 << 3000.0 << QString() << 10;
    }
    void readout()
    {
        QFETCH(bool, analog);
        QFETCH(QString, coeff);
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(int, number);
        if (analog) chooseAnalog();
        label("Label64")->setText(QStringLiteral("kept"));
        get<QLineEdit>("coeff")->setText(coeff);
        f_->Picture1_MouseMove(0, 0, x, y);
        QTEST(label("Label64")->text(), "value");
        QCOMPARE(label("Label59")->text(), QStringLiteral("Acquisition N°: %1").arg(number));
        QCOMPARE(f_->acqui_curseur(), number);
    }

    void zoomStart_data()
    {
        QTest::addColumn<int>("under");
        QTest::addColumn<int>("start");
        QTest::newRow("10 stays") << 10 << 10;
        QTest::newRow("11 moves back") << 11 << 6;
        QTest::newRow("negative") << -3 << -3;
    }
    void zoomStart()
    {
        QFETCH(int, under);
        QFETCH(int, start);
        chooseAnalog();
        f_->Picture1_MouseMove(0, 0, xOf(under), 3000);
        QCOMPARE(f_->acqui_curseur(), under);
        f_->Picture1_MouseDown(1, 0, xOf(under), 3000);
        QCOMPARE(f_->mode_zoom(), 1);
        QCOMPARE(f_->acqui_curseur(), start);
        // Zoomed: the column under the mouse plus the zoom's start; the start stays.
        f_->Picture1_MouseMove(0, 0, 1000 + 1052 * 4 + 500, 3000);
        QCOMPARE(label("Label59")->text(), QStringLiteral("Acquisition N°: %1").arg(start + 4));
        QCOMPARE(f_->acqui_curseur(), start);
    }

    void analogModeTransitions()
    {
        fill(*t_);
        chooseAnalog();
        f_->Label56_Click(0);
        f_->Picture1_MouseMove(0, 0, xOf(40), 3000);
        f_->Picture1_MouseDown(2, 0, xOf(40), 3000);  // annotation only
        QCOMPARE(f_->mode_zoom(), 0);
        f_->Picture1_MouseDown(4, 0, xOf(40), 3000);  // middle button: nothing
        QCOMPARE(f_->mode_zoom(), 0);
        f_->Picture1_MouseDown(1, 0, xOf(40), 3000);
        QCOMPARE(f_->mode_zoom(), 1);
        QCOMPARE(f_->acqui_curseur(), 35);
        f_->Picture1_MouseDown(2, 0, xOf(40), 3000);  // annotation on the zoom
        QCOMPARE(f_->mode_zoom(), 1);
        f_->Option2_Click();  // a layout change keeps the zoomed mapping
        f_->Option1_Click();
        QCOMPARE(f_->mode_zoom(), 1);
        f_->Picture1_MouseDown(1, 0, xOf(40), 3000);
        QCOMPARE(f_->mode_zoom(), 0);
        f_->Picture1_MouseDown(1, 0, xOf(40), 3000);
        QCOMPARE(f_->mode_zoom(), 1);
        get<QPushButton>("Command24")->click();
        QCOMPARE(f_->mode_zoom(), 0);
    }

    void logicRightClickZooms()
    {
        fill(*t_);
        f_->Command24_Click();
        const QImage full = f_->surfaceImage();
        f_->Picture1_MouseMove(0, 0, xOf(20), 1000);
        QCOMPARE(label("Label64")->text(), QString());
        f_->Picture1_MouseDown(2, 0, xOf(20), 1000);
        QCOMPARE(f_->mode_zoom(), 1);
        QCOMPARE(f_->acqui_curseur(), 20);  // the logic zoom is not moved back
        const QImage zoom = f_->surfaceImage();
        QVERIFY(zoom != full);
        f_->Picture1_MouseDown(2, 0, xOf(20), 1000);  // right again: the zoom once more
        QCOMPARE(f_->mode_zoom(), 1);
        QCOMPARE(f_->surfaceImage(), zoom);
        f_->Picture1_MouseDown(1, 0, xOf(20), 1000);
        QCOMPARE(f_->mode_zoom(), 0);
        QCOMPARE(f_->surfaceImage(), full);
        f_->Picture1_MouseDown(1, 0, xOf(20), 1000);  // left in the full view zooms too
        QCOMPARE(f_->mode_zoom(), 1);
    }

    // The cursors follow the mouse while hidden (moves in twips at any
    // scale: test_scaling's readoutKeepsItsTwips).
    void cursorsFollowWhileHidden()
    {
        PictureWidget *p = f_->picture();
        panel::mouse(p->area(), QEvent::MouseMove, {100, 50});
        QVERIFY(!p->cursorsVisible());
        get<QCheckBox>("Check9")->setChecked(true);
        QVERIFY(p->cursorsVisible());
        QCOMPARE(p->cursorX(), 1500.0);
        get<QCheckBox>("Check9")->setChecked(false);
        QVERIFY(!p->cursorsVisible());
    }

    // A legend's selection stays with its slot through the layouts (their
    // legend texts: test_graph's layouts); three clicks leave it off.
    void legendSelectionSurvivesLayouts()
    {
        chooseAnalog();
        QLabel *l = label("Label56_2");
        panel::clickAt(l, {5, 5});
        get<QRadioButton>("Option2")->click();
        QCOMPARE(l->text(), QStringLiteral("Voie 6"));
        QCOMPARE(f_->selection()[2], 1);
        QCOMPARE(l->frameShape(), QFrame::Box);
        chooseAnalog();
        for (int i = 0; i < 3; ++i) f_->Label56_Click(2);
        QCOMPARE(f_->selection()[2], 0);
        QCOMPARE(l->frameShape(), QFrame::NoFrame);
    }

    // Every trace in its colour on the grey, in both layouts (pramelor-shot
    // saves pictures of them).
    void traces()
    {
        fill(*t_);
        chooseAnalog();
        for (int k = 0; k < 8; ++k) f_->Label56_Click(k);
        get<QScrollBar>("HScroll2")->setValue(2);
        f_->Command24_Click();
        const QImage analog = f_->surfaceImage();
        const QColor traces[8] = {{0, 0, 0},     {255, 0, 0}, {0, 255, 0},     {255, 255, 0},
                                  {255, 0, 255}, {0, 0, 255}, {255, 255, 255}, {128, 128, 0}};
        for (const QColor &c : traces) QVERIFY2(countColour(analog, c.rgb()) > 100, qPrintable(c.name()));
        QCOMPARE(analog.pixelColor(5, 5), QColor(192, 192, 192));

        get<QScrollBar>("HScroll2")->setValue(1);
        get<QRadioButton>("Option2")->click();
        {
            const QImage cleared = f_->surfaceImage();  // a layout change clears the surface
            QCOMPARE(countColour(cleared, QColor(192, 192, 192).rgb()), cleared.width() * cleared.height());
        }
        f_->Command24_Click();
        const QImage logic = f_->surfaceImage();
        for (const QColor &c : traces) QVERIFY2(countColour(logic, c.rgb()) > 100, qPrintable(c.name()));
        // The grey between the rows stays free of traces.
        QCOMPARE(logic.pixelColor(500 / 15 + 100, 470 / 15), QColor(192, 192, 192));
        // The overlay is painted over the image: the value axis at x 960.
        QCOMPARE(f_->picture()->area()->grab().toImage().pixelColor(64, 200), QColor(0, 64, 0));
    }
};

QTEST_MAIN(TestGraphFrame)
#include "test_graph_frame.moc"
