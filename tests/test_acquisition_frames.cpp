// The two acquisition frames as views of their engines: the controls as
// built, each control writing the engine, and whatever changes the engine
// (a script, the network, its own timers) showing at once in the window.

#include "acquisition/analog_frame_widget.h"
#include "acquisition/logic_frame_widget.h"
#include "acquisition/tables.h"
#include "support/controls.h"
#include "support/fake_line.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

template <class T>
T *child(QWidget &frame, const char *name)
{
    return panel::control<T>(&frame, QString::fromLatin1(name));
}

QColor backColour(QWidget &frame, const char *button)
{
    return child<QPushButton>(frame, button)->property("backColor").value<QColor>();
}

const QColor kGrey(192, 192, 192);
const QColor kRed(255, 0, 0);

// Both frames on their engines, as the window builds them.
struct Bed : FrameBed {
    AnalogFrame af{analog};
    LogicFrame lf{logic};
};

}  // namespace

class TestAcquisitionFrames : public QObject {
    Q_OBJECT
private slots:
    void controlsAsBuilt()
    {
        Bed b;
        AnalogFrame &af = b.af;
        LogicFrame &lf = b.lf;
        QCOMPARE(af.objectName(), QStringLiteral("Frame2"));
        QCOMPARE(af.title(), QStringLiteral("Entrées analogiques"));
        QCOMPARE(lf.objectName(), QStringLiteral("Frame3"));
        QCOMPARE(lf.title(), QStringLiteral("Entrées logiques"));
        for (int k = 1; k <= 8; ++k) {
            QCOMPARE(child<QLabel>(af, qPrintable(QStringLiteral("ana%1").arg(k)))->text(), QStringLiteral("0.00"));
            QCOMPARE(child<QLineEdit>(af, qPrintable(QStringLiteral("coeff_a%1").arg(k)))->text(), QStringLiteral("1"));
            QCOMPARE(child<QLineEdit>(af, qPrintable(QStringLiteral("u_ana%1").arg(k)))->text(), QStringLiteral("V"));
            QCOMPARE(child<QLabel>(lf, qPrintable(QStringLiteral("log1_%1").arg(k - 1)))->text(), QStringLiteral("0"));
        }
        auto *combo3 = child<QComboBox>(af, "Combo3");
        auto *combo2 = child<QComboBox>(lf, "Combo2");
        QCOMPARE(combo3->count(), 10);
        QCOMPARE(combo2->count(), 9);
        QCOMPARE(combo3->currentIndex(), 1);
        QCOMPARE(combo2->currentIndex(), 1);
        for (QComboBox *c : {child<QComboBox>(af, "Combo4"), child<QComboBox>(lf, "Combo1")}) {
            QCOMPARE(c->count(), 7);
            QCOMPARE(c->currentIndex(), 0);
            QCOMPARE(c->currentText(), QStringLiteral("Toutes les heures"));  // the entries: test_acquisition
        }
        for (QTimer *timer : {b.analog.findChild<QTimer *>("Timer6"), b.logic.findChild<QTimer *>("Timer9")}) {
            QCOMPARE(timer->interval(), 500);
            QCOMPARE(timer->timerType(), Qt::PreciseTimer);
            QVERIFY(!timer->isActive());
        }
        for (const char *name : {"memo_a", "Check5", "Check6", "Command12", "Command16", "Command17", "Command20",
                                 "Command21", "Label67", "Text3"})
            QVERIFY2(af.findChild<QWidget *>(name), name);
        for (const char *name :
             {"memo_l", "Check1", "Check2", "Command13", "Command14", "Command15", "Command18", "Command19", "Text2"})
            QVERIFY2(lf.findChild<QWidget *>(name), name);
        QCOMPARE(child<QPushButton>(af, "Command16")->text(), QStringLiteral("Acquisition Programmée"));
        QCOMPARE(child<QPushButton>(lf, "Command13")->text(), QStringLiteral("Acquisition Manuelle"));
        QCOMPARE(child<QCheckBox>(lf, "memo_l")->text(), QStringLiteral("Mémorisation"));
        QVERIFY(!child<QPushButton>(af, "Command16")->property("backColor").isValid());  // plain face at start
        QCOMPARE(backColour(lf, "Command14"), kGrey);
    }

    void showPanelAndHourButton()
    {
        Bed b;
        b.line.clk.set(7, 5, 0);
        auto *frame5 = child<QGroupBox>(b.af, "Frame5");
        auto *frame4 = child<QGroupBox>(b.lf, "Frame4");
        QVERIFY(frame5->isHidden() && frame4->isHidden());
        QCOMPARE(frame4->title(), QStringLiteral("Entrées logiques : Acquisition programmée"));
        b.af.Command16_Click();
        b.lf.Command14_Click();
        QVERIFY(!frame5->isHidden() && !frame4->isHidden());
        QCOMPARE(frame5->height(), 125);  // 1875 twips
        b.af.Command17_Click();
        b.lf.Command15_Click();
        QCOMPARE(child<QLineEdit>(b.af, "Text3")->text(), QStringLiteral("07:05:00"));
        QCOMPARE(child<QLineEdit>(b.lf, "Text2")->text(), QStringLiteral("07:05:00"));
        b.af.Command20_Click();
        QVERIFY(frame5->isHidden());
        QCOMPARE(backColour(b.af, "Command16"), kGrey);
        // "Acquisition Manuelle" with the switch on hands over to the line.
        child<QPushButton>(b.af, "Command12")->click();
        child<QPushButton>(b.lf, "Command13")->click();
        QCOMPARE(b.line.starts, QStringList({"A 07:05:00", "L 07:05:00"}));
    }

    // What the user does in a frame reaches its engine.
    void controlsWriteTheEngine()
    {
        Bed b;
        child<QComboBox>(b.af, "Combo4")->setCurrentIndex(3);
        child<QCheckBox>(b.af, "Check6")->click();
        QVERIFY(b.analog.cyclicAuto());
        QCOMPARE(child<QLabel>(b.af, "Label67")->text(), QStringLiteral("3"));
        child<QCheckBox>(b.af, "Check5")->click();  // the other box unticks, in the engine and the window
        QVERIFY(b.analog.programmedAuto() && !b.analog.cyclicAuto());
        QVERIFY(!child<QCheckBox>(b.af, "Check6")->isChecked());
        child<QComboBox>(b.lf, "Combo2")->setCurrentIndex(8);
        child<QLineEdit>(b.lf, "Text2")->setText(QStringLiteral("10:15:00"));
        child<QLineEdit>(b.af, "coeff_a2")->setText(QStringLiteral("0,5"));
        child<QLineEdit>(b.af, "u_ana4")->setText(QStringLiteral("mA"));
        b.tabs.indice_l = 40;
        child<QCheckBox>(b.lf, "memo_l")->click();
        QCOMPARE(b.logic.dayIndex(), 8);
        QCOMPARE(b.logic.hourText(), QStringLiteral("10:15:00"));
        QCOMPARE(b.analog.coefficient(2), QStringLiteral("0,5"));
        QCOMPARE(b.analog.unit(4), QStringLiteral("mA"));
        QVERIFY(b.logic.memorising());
        QCOMPARE(b.tabs.indice_l, 0);
        child<QPushButton>(b.lf, "Command18")->click();
        QCOMPARE(b.logic.programme(), FrameEngine::Programme::Idle);  // neither box ticked
    }

    // Whatever drives the engine, the window shows it at once.
    void windowFollowsTheEngine()
    {
        Bed b;
        b.af.Command16_Click();
        b.analog.setCyclic(5);
        QVERIFY(child<QGroupBox>(b.af, "Frame5")->isHidden());
        QCOMPARE(child<QComboBox>(b.af, "Combo4")->currentIndex(), 5);
        QVERIFY(child<QCheckBox>(b.af, "Check6")->isChecked());
        QCOMPARE(backColour(b.af, "Command16"), kRed);
        b.analog.setMemorising(true);
        b.analog.setCoefficient(3, QStringLiteral("2"));
        b.analog.setUnit(2, QStringLiteral("mV"));
        QVERIFY(child<QCheckBox>(b.af, "memo_a")->isChecked());
        QCOMPARE(child<QLineEdit>(b.af, "coeff_a3")->text(), QStringLiteral("2"));
        b.analog.decode(QStringLiteral("nAs1:100s2:0s3:255s4:12s5:1s6:2s7:3s8:200"), b.line.clk.now());
        QCOMPARE(child<QLabel>(b.af, "ana2")->text(), QStringLiteral("0. mV"));
        QCOMPARE(child<QLabel>(b.af, "ana3")->text(), QStringLiteral("10. V"));
        b.analog.cancel();
        QVERIFY(!child<QCheckBox>(b.af, "Check6")->isChecked());
        QCOMPARE(backColour(b.af, "Command16"), kGrey);

        b.logic.setProgrammed(0, QStringLiteral("12:00:01"));
        QCOMPARE(child<QLineEdit>(b.lf, "Text2")->text(), QStringLiteral("12:00:01"));
        QVERIFY(child<QCheckBox>(b.lf, "Check2")->isChecked());
        QCOMPARE(backColour(b.lf, "Command14"), kRed);
        b.line.clk.advance(1000);
        b.logic.programmedCheck();  // due: it fires and the button turns grey
        QCOMPARE(backColour(b.lf, "Command14"), kGrey);
        b.logic.setMemorising(true);
        b.tabs.nbre_acqui = 10;
        b.tabs.indice_l = 80;
        b.logic.decode(QStringLiteral("E:165"), b.line.clk.now());  // the last slot: the box unticks
        QVERIFY(!child<QCheckBox>(b.lf, "memo_l")->isChecked());
        QCOMPARE(child<QLabel>(b.lf, "log1_0")->text(), QStringLiteral("1"));
        QCOMPARE(child<QLabel>(b.lf, "log1_1")->text(), QStringLiteral("0"));
    }

    // The "Acquisition Programmée" buttons change colour with the mode; their
    // caption keeps the font of the frame's other buttons through every change.
    void programButtonKeepsItsFont()
    {
        Bed b;
        const struct {
            QWidget &frame;
            FrameEngine &engine;
            const char *program, *manual;
        } frames[] = {{b.af, b.analog, "Command16", "Command12"}, {b.lf, b.logic, "Command14", "Command13"}};
        for (const auto &[frame, engine, programName, manual] : frames) {
            auto *program = child<QPushButton>(frame, programName);
            const QFont usual = child<QPushButton>(frame, manual)->font();
            auto sameFont = [&] {
                const QFontInfo now(program->font()), want(usual);
                return now.family() == want.family() && now.pixelSize() == want.pixelSize() &&
                       now.weight() == want.weight();
            };
            QVERIFY(sameFont());
            for (int round = 0; round < 2; ++round) {
                engine.setProgrammed(1, QStringLiteral("08:00:00"));
                QCOMPARE(backColour(frame, programName), kRed);
                QVERIFY2(sameFont(), qPrintable(program->font().toString()));
                // The face shows the colour.
                QCOMPARE(program->grab().toImage().pixelColor(4, program->height() / 2), kRed);
                engine.cancel();
                QCOMPARE(backColour(frame, programName), kGrey);
                QVERIFY2(sameFont(), qPrintable(program->font().toString()));
                QCOMPARE(program->grab().toImage().pixelColor(4, program->height() / 2), kGrey);
            }
        }
    }
};

QTEST_MAIN(TestAcquisitionFrames)
#include "test_acquisition_frames.moc"
