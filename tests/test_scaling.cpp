// The window at any size: every control of every frame stands at its design
// place in twips, times the form's scale; fonts follow; what is
// plotted keeps its twips; the start scale fits the screen.

#include "acquisition/tables.h"
#include "graph/picture_widget.h"
#include "shell/desktop_start.h"
#include "shell/form1.h"
#include "shell/scaled_view.h"
#include "support/controls.h"
#include "ui/placement.h"
#include "ui/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

// Twips at a scale, as a real number of pixels.
double px(double t, double scale) { return t * scale / kTwipsPerPixel; }

bool near(double actual, double expected) { return std::abs(actual - expected) <= 1.0; }

// The pixels a caption needs across: its text, and for a box or a round
// button the indicator and the gap before the text; for a button whose
// caption wraps over lines, its longest word, and for any button its margins.
int widthNeeded(const QWidget *w, QString text)
{
    text.remove(u'&');
    const QFontMetrics fm = w->fontMetrics();
    const QStyle *st = w->style();
    if (qobject_cast<const QCheckBox *>(w))
        return st->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
               st->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w) + fm.horizontalAdvance(text);
    if (qobject_cast<const QRadioButton *>(w))
        return st->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
               st->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w) + fm.horizontalAdvance(text);
    if (qobject_cast<const QPushButton *>(w)) {
        int word = fm.horizontalAdvance(text);
        if (w->property("wordWrap").toBool()) {
            word = 0;
            for (const QString &part : text.split(u' ', Qt::SkipEmptyParts))
                word = std::max(word, fm.horizontalAdvance(part));
        }
        return word + st->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
    }
    const auto *l = static_cast<const QLabel *>(w);
    return fm.horizontalAdvance(text) + 2 * l->frameWidth() + 2 * l->margin();
}

}  // namespace

class TestScaling : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<Form1> form_;
    ScaledView *view_ = nullptr;

    template <class W = QWidget>
    W *find(const QString &name) const
    {
        return panel::control<W>(form_.get(), name);
    }
    void scaleTo(double s)
    {
        if (view_->scale() != s) view_->setScale(s);
    }
    // A control at its design twips times the scale; a width or height of 0
    // is a drawn line, one pixel thick; a negative width is not checked.
    void checkAt(const char *name, double l, double t, double w, double h, double s)
    {
        const QRect g = find(QString::fromLatin1(name))->geometry();
        const QByteArray where = QStringLiteral("%1 at %2: %3 %4 %5 %6")
                                     .arg(QLatin1String(name))
                                     .arg(s)
                                     .arg(g.x())
                                     .arg(g.y())
                                     .arg(g.width())
                                     .arg(g.height())
                                     .toUtf8();
        QVERIFY2(near(g.x(), px(l, s)) && near(g.y(), px(t, s)), where.constData());
        QVERIFY2(w < 0 || near(g.width(), w == 0 ? 1 : px(w, s)), where.constData());
        QVERIFY2(near(g.height(), h == 0 ? 1 : px(h, s)), where.constData());
    }
    // The black of channel 1 in column x of the surface: the rows it covers.
    QList<int> blackRows(double xTwips) const
    {
        const QImage img = find<PictureWidget>(QStringLiteral("Picture1"))->image();
        const int x = int(std::lround(px(xTwips, view_->scale()) * img.devicePixelRatio()));
        QList<int> rows;
        for (int y = 0; y < img.height(); ++y)
            if ((img.pixel(x, y) & 0xFFFFFF) == 0) rows.append(y);
        return rows;
    }
    void plotChannel1(int value)
    {
        for (int a = 0; a < Tables::kSlots; ++a) form_->tables().tab_ana(1, a) = Element::number(value);
        QTest::mouseClick(find(QStringLiteral("Option1")), Qt::LeftButton);
        if (form_->findChild<QLabel *>(QStringLiteral("Label56_0"))->frameShape() == QFrame::NoFrame)
            QTest::mouseClick(find(QStringLiteral("Label56_0")), Qt::LeftButton);
        QTest::mouseClick(find(QStringLiteral("Command24")), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        Form1::Setup setup;
        setup.programDir = dir_.path();
        setup.userDir = dir_.path();
        setup.quitApplication = false;
        form_ = std::make_unique<Form1>(setup);
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        view_ = find<ScaledView>(QStringLiteral("scaledView"));
    }
    void cleanupTestCase() { form_.reset(); }

    void fontsFollow_data()
    {
        QTest::addColumn<double>("scale");
        for (double s : {0.75, 1.0, 1.5}) QTest::newRow(qPrintable(QString::number(s))) << s;
    }
    void fontsFollow()
    {
        QFETCH(double, scale);
        scaleTo(scale);
        QVERIFY(std::abs(QFontInfo(find(QStringLiteral("client"))->font()).pixelSize() - 11 * scale) <= 1);
        QCOMPARE(find(QStringLiteral("Frame2"))->font().pointSizeF(), 8 * scale);
        QCOMPARE(find(QStringLiteral("Label18"))->font().pointSizeF(), 11 * scale);
        // A button with a style sheet of its own follows its frame.
        QCOMPARE(find(QStringLiteral("Command14"))->font().pointSizeF(), 8 * scale);
        // The menus and the status line keep the desktop's size.
        QCOMPARE(form_->menuBar()->font().pixelSize(), 11);
    }

    // Every caption of the form is whole at every scale: its text, with the
    // indicator of a box, fits the width of its control.
    void captionsStayWhole_data()
    {
        QTest::addColumn<double>("scale");
        for (double s : {0.5, 0.9, 1.0, 1.25, 3.0}) QTest::newRow(qPrintable(QStringLiteral("%1 %").arg(s * 100))) << s;
    }
    void captionsStayWhole()
    {
        QFETCH(double, scale);
        scaleTo(scale);
        QStringList cut;
        for (QWidget *w : find(QStringLiteral("client"))->findChildren<QWidget *>()) {
            QString text;
            if (auto *l = qobject_cast<QLabel *>(w); l && l->pixmap().isNull() && !l->wordWrap())
                text = l->text();
            else if (auto *b = qobject_cast<QAbstractButton *>(w))
                text = b->text();
            if (text.trimmed().isEmpty()) continue;
            const int need = widthNeeded(w, text);
            if (need > w->width())
                cut << QStringLiteral("%1 « %2 » %3 > %4").arg(w->objectName(), text).arg(need).arg(w->width());
            // A caption over lines: all of them within the button's height.
            if (w->property("wordWrap").toBool()) {
                const int room = w->width() - w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
                const int high = w->fontMetrics()
                                     .boundingRect(QRect(0, 0, room, 10000), Qt::AlignCenter | Qt::TextWordWrap, text)
                                     .height();
                if (high > w->height())
                    cut << QStringLiteral("%1 « %2 » %3 high > %4")
                               .arg(w->objectName(), text)
                               .arg(high)
                               .arg(w->height());
            }
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    }

    // Moves made while the program runs follow the scale, before and after.
    void runTimeMovesFollow()
    {
        scaleTo(1.0);
        QTest::mouseClick(find(QStringLiteral("Option1")), Qt::LeftButton);
        QTest::mouseClick(find(QStringLiteral("Option2")), Qt::LeftButton);  // logic layout
        scaleTo(1.5);
        checkAt("Label56_7", 60, 70, 615, 250, 1.5);
        form_->n_graph_Click();
        checkAt("Frame6", 0, 60, 12000, 8235, 1.5);
        QTest::mouseClick(find(QStringLiteral("Option1")), Qt::LeftButton);  // analog layout
        checkAt("Label58_0", 720, 3922.5, 165, 195, 1.5);
        checkAt("Label56_7", 60, 175, 615, 250, 1.5);
        find(QStringLiteral("Command25"))->setFocus();
        QTest::mouseClick(find(QStringLiteral("Command25")), Qt::LeftButton);  // "Retour"
        QTest::mouseClick(find(QStringLiteral("Command16")), Qt::LeftButton);  // analog panel
        checkAt("Frame5", 0, 0, 10035, 1875, 1.5);
        QTest::mouseClick(find(QStringLiteral("Command20")), Qt::LeftButton);
        scaleTo(0.75);
        checkAt("Frame5", 0, 0, 10035, 1875, 0.75);
        // The debug box is cut at the window's right edge.
        checkAt("Text1", 11910, 180, -1, 8175, 0.75);
        QVERIFY(find(QStringLiteral("Text1"))->geometry().right() < find(QStringLiteral("client"))->width());
        checkAt("Line1", 1320, 360, 0, 2400, 0.75);
        checkAt("Label58_0", 720, 3922.5, 165, 195, 0.75);
    }

    // A trace at 150 % lies at the same twips as at 100 %, one pixel thick,
    // whether it was drawn before the change of scale or after.
    void plotKeepsItsTwips()
    {
        scaleTo(1.0);
        form_->n_graph_Click();
        plotChannel1(100);  // 100 × 20 twips above the baseline at 5040
        const QList<int> at100 = blackRows(6000);
        QCOMPARE(at100.size(), 1);
        QVERIFY(near(at100.first(), px(3040, 1.0)));

        scaleTo(1.5);
        const QList<int> redrawn = blackRows(6000);
        QCOMPARE(redrawn.size(), 1);
        QVERIFY(near(redrawn.first(), px(3040, 1.5)));
        const QImage replayed = find<PictureWidget>(QStringLiteral("Picture1"))->image();
        QCOMPARE(replayed.size(), QSize(int(std::lround(px(11535, 1.5))), int(std::lround(px(5475, 1.5)))));

        plotChannel1(100);
        QCOMPARE(find<PictureWidget>(QStringLiteral("Picture1"))->image(), replayed);
    }

    // The cursors and the readouts read the mouse in twips at any scale.
    void readoutKeepsItsTwips()
    {
        QStringList seen;
        for (double s : {1.0, 1.5, 0.75}) {
            scaleTo(s);
            form_->n_graph_Click();
            auto *picture = find<PictureWidget>(QStringLiteral("Picture1"));
            QTest::mouseMove(picture->area(), QPoint(int(std::lround(px(6000, s))), int(std::lround(px(3045, s)))));
            QVERIFY(std::abs(picture->cursorX() - 6000) <= kTwipsPerPixel / s);
            QVERIFY(std::abs(picture->cursorY() - 3045) <= kTwipsPerPixel / s);
            seen << find<QLabel>(QStringLiteral("Label59"))->text();
        }
        QCOMPARE(seen.at(1), seen.at(0));
        QCOMPARE(seen.at(2), seen.at(0));
    }

    // Resizing the window: the form takes the largest scale that fits, whole
    // and centred.
    void windowResizes()
    {
        scaleTo(1.0);
        const QSize chrome = form_->size() - view_->size();
        form_->resize(QSize(1460, 940) + chrome);
        QTRY_COMPARE(view_->scale(), 1.5);
        QWidget *client = find(QStringLiteral("client"));
        QVERIFY(view_->rect().contains(client->geometry()));
        form_->resize(QSize(1460, 500) + chrome);
        QTRY_VERIFY(view_->scale() < 1.0);
        QVERIFY(view_->rect().contains(client->geometry()));
        QVERIFY(client->width() <= 1460 && client->height() <= 500);
        QVERIFY(std::abs(client->x() - (view_->width() - client->width()) / 2) <= 1);
        QCOMPARE(view_->minimumSize(), scaling::scaledSize(QSize(969, 622), scaling::kMinScale));
        view_->setScale(1.0);
        view_->resizeWindowToForm();
    }

    // The first message in the status line does not make that line taller,
    // which would take a pixel from the form and shrink it by a step.
    void statusMessageKeepsTheScale()
    {
        scaleTo(1.0);
        view_->resizeWindowToForm();
        QTRY_COMPARE(view_->scale(), 1.0);
        const QSize room = view_->size();
        form_->showStatus(QStringLiteral("Pas de réponse de la carte (entrées analogiques)"));
        QTest::qWait(50);
        QCOMPARE(view_->size(), room);
        QCOMPARE(view_->scale(), 1.0);
        form_->showStatus(QString());
    }

    void startScale_data()
    {
        QTest::addColumn<QSize>("available");
        QTest::addColumn<double>("scale");
        // Menu bar and status line take 40 pixels here, the frame 16 × 48.
        QTest::newRow("full HD") << QSize(1920, 1040) << 1.0;
        QTest::newRow("just fits") << QSize(969 + 16, 622 + 88) << 1.0;
        QTest::newRow("one pixel short") << QSize(969 + 16, 622 + 87) << 0.99;
        QTest::newRow("1366 x 768 at 125 %") << QSize(1093, 582) << 0.79;
        // 1024 × 600 magnified twice: 512 × 300, less a panel of 24.
        QTest::newRow("1024 x 600 at 200 %") << QSize(512, 276) << 0.3;
        QTest::newRow("tiny") << QSize(200, 150) << 0.2;
    }
    void startScale()
    {
        QFETCH(QSize, available);
        QFETCH(double, scale);
        QCOMPARE(scaling::startScale(available, QSize(969, 622), QSize(16, 88)), scale);
        if (scale > 0.2) QVERIFY(scaling::scaledSize(QSize(969, 622), scale).height() <= available.height() - 88);
    }

    // Whatever the screen, the window starts whole within it; a screen too
    // small for 50 %: the window still fits, and may not be made smaller
    // than the screen needs.
    void startsWhereTheScreenAllows()
    {
        startAtFittingScale(form_.get(), QSize(512, 276));
        QCOMPARE(view_->scale(), 0.3);
        QCOMPARE(view_->lowestScale(), 0.3);
        QVERIFY(form_->height() + 48 <= 276);
        QVERIFY(form_->width() + 16 <= 512);
        QCOMPARE(view_->minimumSize(), scaling::scaledSize(QSize(969, 622), 0.3));
        desktop::showFitted(*form_);  // on the screen there is (run also with QT_SCALE_FACTOR=2)
        const QRect screen = form_->screen()->availableGeometry();
        QVERIFY(form_->width() + 16 <= screen.width() && form_->height() + 48 <= screen.height());
        startAtFittingScale(form_.get(), QSize(1920, 1040));
        QCOMPARE(view_->scale(), 1.0);
        QCOMPARE(view_->lowestScale(), 0.5);
        QCOMPARE(find(QStringLiteral("client"))->size(), QSize(969, 622));
    }
};

QTEST_MAIN(TestScaling)
#include "test_scaling.moc"
