// The two acquisition frames against a stand-in window: the cyclic and the
// programmed modes driven by a hand-set clock, the "Auto" boxes, and the
// decoding steps writing the labels, the indicators and the tables.

#include "acquisition/analog_frame_widget.h"
#include "acquisition/host.h"
#include "acquisition/logic_frame_widget.h"
#include "acquisition/tables.h"
#include "support/controls.h"
#include "support/fake_clock.h"
#include "text/clock.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

// What the window does for the frames, written down instead of done.
class FakeHost : public AcquisitionHost {
public:
    bool on = true;
    QString buffer;
    FakeClock clk;
    Tables tabs;
    QStringList starts;  // "A 12:00:10" / "L 12:00:10", one per acquisition start
    QStringList statuses;
    bool journal = false;

    bool switchedOn() const override { return on; }
    bool hold = false;  // the other frame's acquisition awaits its decoding
    bool beginRequest(Channel channel) override
    {
        if (hold) {
            starts << QStringLiteral("held %1").arg(text::timeText(clk));
            return false;
        }
        starts << QStringLiteral("%1 %2").arg(QChar(channel == Channel::Analog ? u'A' : u'L')).arg(text::timeText(clk));
        buffer.clear();
        return true;
    }
    const Clock &clock() const override { return clk; }
    Tables &tables() override { return tabs; }
    void showStatus(const QString &message) override { statuses << message; }
    QString statusText() const override { return statuses.isEmpty() ? QString() : statuses.last(); }
    bool linkDown = false;
    bool linkFailing() const override { return linkDown; }
    bool journalRunning() const override { return journal; }
};

template <class T>
T *child(QWidget &frame, const char *name)
{
    return panel::control<T>(&frame, QString::fromLatin1(name));
}

// One row per frame: the analog one, then the logic one.
void bothFrames()
{
    QTest::addColumn<bool>("analog");
    QTest::newRow("analog") << true;
    QTest::newRow("logic") << false;
}

QColor backColour(QWidget &frame, const char *button)
{
    return child<QPushButton>(frame, button)->property("backColor").value<QColor>();
}

const QColor kGrey(192, 192, 192);
const QColor kRed(255, 0, 0);

// One frame's scheduling controls, so the tests read the same for both.
struct Panel {
    QWidget &frame;
    const char *intervals, *cyclic, *programmed, *days, *hour, *program, *panel, *timer;
    std::function<void()> validate, cancel, programmedCheck, cyclicWait;
};

Panel analogPanel(AnalogFrame &f)
{
    return {f,
            "Combo4",
            "Check6",
            "Check5",
            "Combo3",
            "Text3",
            "Command16",
            "Frame5",
            "Timer6",
            [&f] { f.Command21_Click(); },
            [&f] { f.Command20_Click(); },
            [&f] { f.Timer6_Timer(); },
            [&f] { f.cyclicWait_Timer(); }};
}

Panel logicPanel(LogicFrame &f)
{
    return {f,
            "Combo1",
            "Check1",
            "Check2",
            "Combo2",
            "Text2",
            "Command14",
            "Frame4",
            "Timer9",
            [&f] { f.Command18_Click(); },
            [&f] { f.Command19_Click(); },
            [&f] { f.Timer9_Timer(); },
            [&f] { f.cyclicWait_Timer(); }};
}

// Time passes second by second; the wait's timer is served whenever it runs.
void runCyclic(FakeHost &host, const Panel &p, int seconds, std::function<void(int)> at = {})
{
    QTimer *wait = child<QTimer>(p.frame, "cyclicWait");
    for (int s = 1; s <= seconds; ++s) {
        host.clk.advance(1000);
        if (at) at(s);
        if (wait->isActive()) p.cyclicWait();
    }
}

// "Toutes les 10 secondes", the cyclic "Auto" box, then "Validation".
void armEveryTenSeconds(const Panel &p)
{
    child<QComboBox>(p.frame, p.intervals)->setCurrentIndex(5);
    child<QCheckBox>(p.frame, p.cyclic)->setChecked(true);
    p.validate();
}

// Time passes by half seconds, the programmed-mode timer ticking while enabled.
void runProgrammed(FakeHost &host, const Panel &p, int halfSeconds)
{
    QTimer *timer = child<QTimer>(p.frame, p.timer);
    for (int i = 0; i < halfSeconds; ++i) {
        host.clk.advance(500);
        if (timer->isActive()) p.programmedCheck();
    }
}

}  // namespace

class TestAcquisitionFrames : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void cyclicEveryTenSeconds_data();
    void cyclicEveryTenSeconds();
    void secondValidationRestartsTheCycle();
    void heldCyclicStartDelaysTheNextWait_data();
    void heldCyclicStartDelaysTheNextWait();
    void cyclicAcrossMidnight();
    void noIntervalIsRefused();
    void validationWithNeitherBox();
    void autoBoxesExclude_data();
    void autoBoxesExclude();
    void programmedDays_data();
    void programmedDays();
    void programmedIsOneShot();
    void programmedAfterItsHourWaitsForTheNextDay();
    void switchedOff();
    void showPanelAndHourButton();
    void analogStep_data();
    void analogStep();
    void memorisationRestartsAtZero();
    void logicStep();
    void controlsAsBuilt();
    void arrangement();
    void skippedChannelsKeepLabelAndSlot();
    void logicRecordingFillsTheLastSlot();
    void programButtonKeepsItsFont();
    void silentBoardIsSaid_data();
    void silentBoardIsSaid();
    void fullTablesAreSaidWhileCycling_data();
    void fullTablesAreSaidWhileCycling();
    void decodedAcquisitionsAreAnnounced_data();
    void decodedAcquisitionsAreAnnounced();
};

void TestAcquisitionFrames::cyclicEveryTenSeconds_data() { bothFrames(); }

void TestAcquisitionFrames::cyclicEveryTenSeconds()
{
    QFETCH(bool, analog);
    FakeHost host;
    AnalogFrame af(host);
    LogicFrame lf(host);
    const Panel p = analog ? analogPanel(af) : logicPanel(lf);
    const QString c = analog ? "A " : "L ";
    armEveryTenSeconds(p);  // 12:00:00
    QCOMPARE(backColour(p.frame, p.program), kRed);
    QVERIFY(child<QTimer>(p.frame, p.timer)->isActive());
    QVERIFY(child<QGroupBox>(p.frame, p.panel)->isHidden());
    QTimer *wait = child<QTimer>(p.frame, "cyclicWait");
    QVERIFY(wait->isActive());
    QCOMPARE(wait->interval(), 10000);  // a timer, not a busy wait

    runCyclic(host, p, 40, [&](int s) {
        if (s == 23) p.cancel();
    });
    QCOMPARE(host.starts, QStringList({c + "12:00:10", c + "12:00:20", c + "12:00:30"}));
    QVERIFY(!wait->isActive());
    QVERIFY(!child<QTimer>(p.frame, p.timer)->isActive());
    QCOMPARE(backColour(p.frame, p.program), kGrey);
}

void TestAcquisitionFrames::heldCyclicStartDelaysTheNextWait_data()
{
    QTest::addColumn<bool>("analog");
    QTest::addColumn<bool>("cancelWhileHeld");
    QTest::addColumn<QStringList>("starts");
    QTest::newRow("analog") << true << false << QStringList({"held 12:00:10", "A 12:00:13", "A 12:00:23"});
    QTest::newRow("logic") << false << false << QStringList({"held 12:00:10", "L 12:00:13", "L 12:00:23"});
    QTest::newRow("cancelled while held") << true << true << QStringList({"held 12:00:10", "A 12:00:13"});
}

// A cyclic start held behind the other frame proceeds 3 s later: the next
// wait is counted from then, as if the start had taken that long.
void TestAcquisitionFrames::heldCyclicStartDelaysTheNextWait()
{
    QFETCH(bool, analog);
    QFETCH(bool, cancelWhileHeld);
    QFETCH(QStringList, starts);
    FakeHost host;
    AnalogFrame af(host);
    LogicFrame lf(host);
    const Panel p = analog ? analogPanel(af) : logicPanel(lf);
    const QString c = analog ? "A " : "L ";
    armEveryTenSeconds(p);  // 12:00:00
    host.hold = true;
    runCyclic(host, p, 13, [&](int s) {
        if (s == 11 && cancelWhileHeld) p.cancel();
    });
    QVERIFY(analog ? af.cycleRunning() : lf.cycleRunning());
    host.hold = false;
    host.starts << c + text::timeText(host.clk);               // the window begins it ...
    analog ? af.heldStartReleased() : lf.heldStartReleased();  // ... and tells the frame
    runCyclic(host, p, 15);
    QCOMPARE(host.starts, starts);
    QCOMPARE(analog ? af.cycleRunning() : lf.cycleRunning(), !cancelWhileHeld);
}

void TestAcquisitionFrames::secondValidationRestartsTheCycle()
{
    FakeHost host;
    AnalogFrame f(host);
    const Panel p = analogPanel(f);
    child<QComboBox>(f, "Combo4")->setCurrentIndex(5);
    child<QCheckBox>(f, "Check6")->setChecked(true);
    p.validate();
    runCyclic(host, p, 5);
    p.validate();  // 12:00:05
    runCyclic(host, p, 20);
    QCOMPARE(host.starts, QStringList({"A 12:00:15", "A 12:00:25"}));

    // Unchecking the box by hand: the wait runs out, one last start, then none.
    child<QCheckBox>(f, "Check6")->setChecked(false);
    runCyclic(host, p, 30);
    QCOMPARE(host.starts.size(), 3);
    QCOMPARE(host.starts.last(), QStringLiteral("A 12:00:35"));
    QCOMPARE(backColour(f, "Command16"), kRed);  // the programmed timer stays armed
    QVERIFY(child<QTimer>(f, "Timer6")->isActive());
}

void TestAcquisitionFrames::cyclicAcrossMidnight()
{
    FakeHost host;
    host.clk.set(23, 59, 55);
    host.clk.day = 7;
    LogicFrame f(host);
    const Panel p = logicPanel(f);
    child<QComboBox>(f, "Combo1")->setCurrentIndex(5);
    child<QCheckBox>(f, "Check1")->setChecked(true);
    p.validate();
    runCyclic(host, p, 21);
    QCOMPARE(host.starts, QStringList({"L 00:00:05", "L 00:00:15"}));
    QCOMPARE(host.clk.day, 1);
}

void TestAcquisitionFrames::noIntervalIsRefused()
{
    FakeHost host;
    AnalogFrame af(host);
    LogicFrame lf(host);
    for (const Panel &p : {analogPanel(af), logicPanel(lf)}) {
        host.statuses.clear();
        auto *list = child<QComboBox>(p.frame, p.intervals);
        list->setEditable(true);
        list->setCurrentIndex(-1);
        list->setEditText(QStringLiteral("Toutes les 5 secondes"));
        child<QCheckBox>(p.frame, p.cyclic)->setChecked(true);
        const QColor before = backColour(p.frame, p.program);
        p.validate();
        QCOMPARE(host.statuses, QStringList{QStringLiteral("Choisissez un intervalle")});
        QVERIFY(!child<QTimer>(p.frame, "cyclicWait")->isActive());
        QVERIFY(!child<QTimer>(p.frame, p.timer)->isActive());
        QCOMPARE(backColour(p.frame, p.program), before);
        runCyclic(host, p, 10);
        QVERIFY(host.starts.isEmpty());
    }
}

void TestAcquisitionFrames::validationWithNeitherBox()
{
    FakeHost host;
    AnalogFrame af(host);
    LogicFrame lf(host);
    for (const Panel &p : {analogPanel(af), logicPanel(lf)}) {
        child<QCheckBox>(p.frame, p.cyclic)->setChecked(true);
        p.validate();
        QCOMPARE(backColour(p.frame, p.program), kRed);
        child<QCheckBox>(p.frame, p.cyclic)->setChecked(false);
        child<QGroupBox>(p.frame, p.panel)->show();
        p.validate();  // neither box: grey, hidden; the cycle in progress ends with its wait
        QCOMPARE(backColour(p.frame, p.program), kGrey);
        QVERIFY(child<QGroupBox>(p.frame, p.panel)->isHidden());
    }
    QTimer *waits[] = {child<QTimer>(af, "cyclicWait"), child<QTimer>(lf, "cyclicWait")};
    for (int s = 0; s < 7200; ++s) {
        host.clk.advance(1000);
        if (waits[0]->isActive()) af.cyclicWait_Timer();
        if (waits[1]->isActive()) lf.cyclicWait_Timer();
    }
    QCOMPARE(host.starts, QStringList({"A 13:00:00", "L 13:00:00"}));
}

void TestAcquisitionFrames::autoBoxesExclude_data() { bothFrames(); }

void TestAcquisitionFrames::autoBoxesExclude()
{
    QFETCH(bool, analog);
    FakeHost host;
    AnalogFrame af(host);
    LogicFrame lf(host);
    const Panel p = analog ? analogPanel(af) : logicPanel(lf);
    auto *cyclic = child<QCheckBox>(p.frame, p.cyclic);
    auto *programmed = child<QCheckBox>(p.frame, p.programmed);
    cyclic->click();
    QVERIFY(cyclic->isChecked());
    programmed->click();
    QVERIFY(programmed->isChecked());
    QVERIFY(!cyclic->isChecked());
    cyclic->click();
    QVERIFY(cyclic->isChecked());
    QVERIFY(!programmed->isChecked());
    cyclic->click();  // unchecking one leaves the other alone
    QVERIFY(!cyclic->isChecked());
    QVERIFY(!programmed->isChecked());
    if (analog) {
        auto *label = child<QLabel>(af, "Label67");
        child<QComboBox>(af, "Combo4")->setCurrentIndex(3);
        cyclic->click();
        QCOMPARE(label->text(), QStringLiteral("3"));
        child<QComboBox>(af, "Combo4")->setCurrentIndex(-1);
        cyclic->click();
        QCOMPARE(label->text(), QStringLiteral("-1"));
    }
}

void TestAcquisitionFrames::programmedDays_data()
{
    QTest::addColumn<bool>("analog");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("days");  // Monday … Sunday
    const char *analogDays[] = {"1111100", "1000000", "0100000", "0010000", "0001000",
                                "0000100", "0000010", "0000001", "0000011", "1111111"};
    for (int i = 0; i < 10; ++i) QTest::addRow("analog %d", i) << true << i << analogDays[i];
    QTest::newRow("analog none") << true << -1 << "0000000";
    const char *logicDays[] = {"1111100", "1000000", "0100000", "0010000", "0001000",
                               "0000100", "0000010", "0000001", "1111111"};
    for (int i = 0; i < 9; ++i) QTest::addRow("logic %d", i) << false << i << logicDays[i];
    QTest::newRow("logic none") << false << -1 << "0000000";
}

void TestAcquisitionFrames::programmedDays()
{
    QFETCH(bool, analog);
    QFETCH(int, position);
    QFETCH(QString, days);
    for (int day = 1; day <= 7; ++day) {
        FakeHost host;
        host.clk.set(7, 59, 59);
        host.clk.day = day;
        AnalogFrame af(host);
        LogicFrame lf(host);
        const Panel p = analog ? analogPanel(af) : logicPanel(lf);
        child<QComboBox>(p.frame, p.days)->setCurrentIndex(position);
        child<QLineEdit>(p.frame, p.hour)->setText(QStringLiteral("08:00:00"));
        child<QCheckBox>(p.frame, p.programmed)->setChecked(true);
        p.validate();
        runProgrammed(host, p, 4);
        QCOMPARE(host.starts.size(), days[day - 1] == u'1' ? 1 : 0);
    }
}

void TestAcquisitionFrames::programmedIsOneShot()
{
    FakeHost host;
    host.clk.set(10, 14, 0);
    host.clk.day = 3;
    AnalogFrame f(host);
    const Panel p = analogPanel(f);
    QCOMPARE(child<QComboBox>(f, "Combo3")->currentIndex(), 1);  // "Lundi" at start
    child<QComboBox>(f, "Combo3")->setCurrentIndex(0);           // Monday to Friday
    child<QLineEdit>(f, "Text3")->setText(QStringLiteral("10:15:00"));
    child<QCheckBox>(f, "Check5")->setChecked(true);
    p.validate();
    QCOMPARE(backColour(f, "Command16"), kRed);
    runProgrammed(host, p, 2 * 60 * 2);
    QCOMPARE(host.starts, QStringList{"A 10:15:00"});  // twice a second, fires once
    QCOMPARE(backColour(f, "Command16"), kGrey);
    QVERIFY(!child<QTimer>(f, "Timer6")->isActive());
    runProgrammed(host, p, 2 * 86400);  // not re-armed for the next day
    QCOMPARE(host.starts.size(), 1);
}

void TestAcquisitionFrames::programmedAfterItsHourWaitsForTheNextDay()
{
    FakeHost host;
    host.clk.set(10, 16, 0);
    host.clk.day = 5;
    LogicFrame f(host);
    const Panel p = logicPanel(f);
    child<QComboBox>(f, "Combo2")->setCurrentIndex(8);  // "Tous les jours"
    child<QLineEdit>(f, "Text2")->setText(QStringLiteral("10:15:00"));
    child<QCheckBox>(f, "Check2")->setChecked(true);
    p.validate();
    runProgrammed(host, p, 2 * 86400);
    QCOMPARE(host.starts, QStringList{"L 10:15:00"});
    QCOMPARE(host.clk.day, 6);
    QCOMPARE(backColour(f, "Command14"), kGrey);
}

void TestAcquisitionFrames::switchedOff()
{
    FakeHost host;
    host.on = false;
    host.buffer = QStringLiteral("kept");
    AnalogFrame af(host);
    LogicFrame lf(host);
    af.Command12_Click();
    lf.Command13_Click();
    QVERIFY(host.starts.isEmpty());
    QCOMPARE(host.buffer, QStringLiteral("kept"));

    // A programmed acquisition coming due with the switch off still counts as done.
    host.clk.set(8, 0, 0);
    host.clk.day = 1;
    const Panel p = analogPanel(af);
    child<QLineEdit>(af, "Text3")->setText(QStringLiteral("08:00:01"));
    child<QCheckBox>(af, "Check5")->setChecked(true);
    p.validate();
    runProgrammed(host, p, 4);
    QVERIFY(host.starts.isEmpty());
    QVERIFY(!child<QTimer>(af, "Timer6")->isActive());
    QCOMPARE(backColour(af, "Command16"), kGrey);

    // The cyclic mode keeps waiting and starts nothing.
    const Panel q = logicPanel(lf);
    child<QComboBox>(lf, "Combo1")->setCurrentIndex(6);
    child<QCheckBox>(lf, "Check1")->setChecked(true);
    q.validate();
    runCyclic(host, q, 10);
    QVERIFY(host.starts.isEmpty());
    QVERIFY(child<QTimer>(lf, "cyclicWait")->isActive());
    host.on = true;
    runCyclic(host, q, 2);
    QCOMPARE(host.starts.size(), 1);
}

void TestAcquisitionFrames::showPanelAndHourButton()
{
    FakeHost host;
    host.clk.set(7, 5, 0);
    AnalogFrame af(host);
    LogicFrame lf(host);
    QCOMPARE(backColour(lf, "Command14"), kGrey);
    auto *frame5 = child<QGroupBox>(af, "Frame5");
    auto *frame4 = child<QGroupBox>(lf, "Frame4");
    QVERIFY(frame5->isHidden());
    QVERIFY(frame4->isHidden());
    QCOMPARE(frame4->title(), QStringLiteral("Entrées logiques : Acquisition programmée"));
    af.Command16_Click();
    lf.Command14_Click();
    QVERIFY(!frame5->isHidden());
    QVERIFY(!frame4->isHidden());
    QCOMPARE(frame5->height(), 125);  // 1875 twips
    af.Command17_Click();
    lf.Command15_Click();
    QCOMPARE(child<QLineEdit>(af, "Text3")->text(), QStringLiteral("07:05:00"));
    QCOMPARE(child<QLineEdit>(lf, "Text2")->text(), QStringLiteral("07:05:00"));
    af.Command20_Click();
    QVERIFY(frame5->isHidden());
    QCOMPARE(backColour(af, "Command16"), kGrey);

    // "Acquisition Manuelle" with the switch on hands over to the window.
    child<QPushButton>(af, "Command12")->click();
    child<QPushButton>(lf, "Command13")->click();
    QCOMPARE(host.starts, QStringList({"A 07:05:00", "L 07:05:00"}));
}

void TestAcquisitionFrames::analogStep_data()
{
    QTest::addColumn<bool>("french");
    QTest::newRow("point") << false;
    QTest::newRow("comma") << true;
}

void TestAcquisitionFrames::analogStep()
{
    QFETCH(bool, french);
    QLocale::setDefault(french ? QLocale(QLocale::French, QLocale::France) : QLocale::c());
    const QString s = QLocale().decimalPoint();
    FakeHost host;
    AnalogFrame f(host);
    child<QLineEdit>(f, "coeff_a3")->setText(QStringLiteral("2"));
    child<QLineEdit>(f, "coeff_a5")->setText(QStringLiteral("x"));  // no number: kept as it was
    child<QLineEdit>(f, "u_ana2")->setText(QStringLiteral("mV"));
    host.buffer = QStringLiteral("nAs1:100s2:0s3:255s4:12s5:1s6:2s7:3s8:200");
    f.decode(host.buffer, host.clk.now());
    const QStringList labels = {"1.96 V", "0. mV", "10. V", "0.24 V", "0.00", "0.04 V", "0.06 V", "3.92 V"};
    for (int k = 1; k <= 8; ++k) {
        QString expected = labels[k - 1];
        if (k != 5) expected.replace(u'.', s);  // the design caption stays as drawn
        QCOMPARE(child<QLabel>(f, qPrintable(QStringLiteral("ana%1").arg(k)))->text(), expected);
    }
    QCOMPARE(host.tabs.indice_a, 1);
    QVERIFY(host.tabs.tab_ana(1, 0).isEmpty());  // not memorising

    child<QCheckBox>(f, "memo_a")->click();
    f.decode(host.buffer, host.clk.now());
    const QStringList stored = {"100.", "0.", "510.", "12.", "", "2.", "3.", "200."};
    for (int k = 1; k <= 8; ++k) {
        const Element &e = host.tabs.tab_ana(k, 0);
        if (k == 5) {
            QVERIFY(e.isEmpty());
        } else {
            QCOMPARE(e, Element::text(QString(stored[k - 1]).replace(u'.', s)));
            QCOMPARE(e.toNumber().value_or(-1), stored[k - 1].chopped(1).toDouble());
        }
    }
    QCOMPARE(host.tabs.indice_a, 1);
}

void TestAcquisitionFrames::memorisationRestartsAtZero()
{
    FakeHost host;
    AnalogFrame af(host);
    LogicFrame lf(host);
    host.tabs.nbre_acqui = 10;
    for (int i = 0; i < 7; ++i) af.decode(host.buffer, host.clk.now());  // counting while unchecked
    for (int i = 0; i < 3; ++i) lf.decode(host.buffer, host.clk.now());
    QCOMPARE(host.tabs.indice_a, 7);
    QCOMPARE(host.tabs.indice_l, 24);
    auto *memo_a = child<QCheckBox>(af, "memo_a");
    auto *memo_l = child<QCheckBox>(lf, "memo_l");
    memo_a->click();
    memo_l->click();
    QCOMPARE(host.tabs.indice_a, 0);
    QCOMPARE(host.tabs.indice_l, 0);
    host.buffer = QStringLiteral("nAs1:1s2:2s3:3s4:4s5:5s6:6s7:7s8:8");
    af.decode(host.buffer, host.clk.now());
    QCOMPARE(host.tabs.tab_ana(1, 0), Element::text("1."));
    host.buffer = QStringLiteral("E:1");
    lf.decode(host.buffer, host.clk.now());
    QCOMPARE(host.tabs.tab_log[0], Element::text("1"));

    // Slot 10 is the last: after it the boxes uncheck themselves, back at 0.
    for (int i = 1; i <= 10; ++i) {
        QVERIFY(memo_a->isChecked());
        host.buffer = QStringLiteral("nAs1:1s2:2s3:3s4:4s5:5s6:6s7:7s8:8");
        af.decode(host.buffer, host.clk.now());
        host.buffer = QStringLiteral("E:1");
        lf.decode(host.buffer, host.clk.now());
    }
    QVERIFY(!memo_a->isChecked());
    QVERIFY(!memo_l->isChecked());
    QCOMPARE(host.tabs.indice_a, 0);
    QCOMPARE(host.tabs.indice_l, 0);
    QCOMPARE(host.tabs.tab_ana(1, 10), Element::text("1."));
    QCOMPARE(host.tabs.tab_log[80], Element::text("1"));
    QVERIFY(host.tabs.tab_ana(1, 11).isEmpty());

    // Unchecking by hand also restarts the index.
    memo_a->click();
    af.decode(host.buffer, host.clk.now());
    af.decode(host.buffer, host.clk.now());
    memo_a->click();
    QCOMPARE(host.tabs.indice_a, 0);
}

void TestAcquisitionFrames::logicStep()
{
    FakeHost host;
    LogicFrame f(host);
    host.buffer = QStringLiteral("nLE:165\r\n");
    host.tabs.indice_l = 16;
    child<QCheckBox>(f, "memo_l")->setChecked(true);
    host.tabs.indice_l = 16;
    f.decode(host.buffer, host.clk.now());
    const QString expected = QStringLiteral("10100101");  // "Voie 1" first
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(child<QLabel>(f, qPrintable(QStringLiteral("log1_%1").arg(i)))->text(), QString(expected[i]));
        QCOMPARE(host.tabs.tab_log[size_t(16 + i)], Element::text(QString(expected[i])));
    }
    QCOMPARE(host.tabs.indice_l, 24);

    host.buffer = QStringLiteral("E:-7");  // garbled: all "0", nothing stops
    f.decode(host.buffer, host.clk.now());
    for (int i = 0; i < 8; ++i)
        QCOMPARE(child<QLabel>(f, qPrintable(QStringLiteral("log1_%1").arg(i)))->text(), QStringLiteral("0"));
    QCOMPARE(host.tabs.indice_l, 32);
}

void TestAcquisitionFrames::controlsAsBuilt()
{
    FakeHost host;
    AnalogFrame af(host);
    LogicFrame lf(host);
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
    QCOMPARE(combo3->itemText(0), QStringLiteral(" "));
    QCOMPARE(combo3->itemText(8), QStringLiteral("Samedi et dimanche"));
    QCOMPARE(combo2->itemText(8), QStringLiteral("Tous les jours"));
    for (QComboBox *c : {child<QComboBox>(af, "Combo4"), child<QComboBox>(lf, "Combo1")}) {
        QCOMPARE(c->count(), 7);
        QCOMPARE(c->currentIndex(), 0);
        QCOMPARE(c->currentText(), QStringLiteral("Toutes les heures"));
        QCOMPARE(c->itemText(6), QStringLiteral("Toutes les 2 secondes"));
    }
    const struct {
        QWidget *frame;
        const char *name;
        int period;
    } timers[] = {{&af, "Timer6", 500}, {&lf, "Timer9", 500}};
    for (const auto &t : timers) {
        QTimer *timer = child<QTimer>(*t.frame, t.name);
        QCOMPARE(timer->interval(), t.period);
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
}

void TestAcquisitionFrames::arrangement()
{
    FakeHost host;
    AnalogFrame af(host);
    LogicFrame lf(host);
    QCOMPARE(child<QWidget>(af, "ana3")->geometry(), twips(2640, 540, 975, 315));
    QCOMPARE(child<QWidget>(af, "u_ana1")->geometry(), twips(720, 1140, 435, 285));
    QCOMPARE(child<QWidget>(af, "coeff_a8")->geometry(), twips(9420, 1500, 435, 285));
    QCOMPARE(child<QWidget>(af, "memo_a")->geometry(), twips(10260, 1500, 1455, 315));
    QCOMPARE(child<QWidget>(af, "Combo3")->geometry(), twips(5460, 540, 1635, 315));
    QCOMPARE(child<QWidget>(af, "Command21")->geometry(), twips(8220, 1440, 1635, 375));
    QCOMPARE(child<QWidget>(lf, "log1_7")->geometry(), twips(8940, 1020, 735, 315));
    QCOMPARE(child<QWidget>(lf, "Text2")->geometry(), twips(5460, 1380, 1575, 375));
    QCOMPARE(child<QWidget>(lf, "Check1")->geometry(), twips(180, 1440, 2115, 375));
    QCOMPARE(child<QLabel>(af, "ana1")->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    QCOMPARE(child<QLabel>(lf, "log1_0")->palette().color(QPalette::WindowText), QColor(255, 0, 255));
    QCOMPARE(child<QLabel>(lf, "log1_0")->alignment(), Qt::AlignCenter);
}

void TestAcquisitionFrames::skippedChannelsKeepLabelAndSlot()
{
    FakeHost host;
    AnalogFrame f(host);
    host.buffer = QStringLiteral("nAs1:100s2:0s3:255s4:12s5:1s6:2s7:3s8:200");
    f.decode(host.buffer, host.clk.now());
    child<QCheckBox>(f, "memo_a")->setChecked(true);
    host.tabs.tab_ana(4, 0) = Element::text(QStringLiteral("old"));
    host.buffer = QStringLiteral("nAs1:50s2:9s3:1s4:77s6:2s7:3s8:12345");  // no "s5"
    f.decode(host.buffer, host.clk.now());
    auto label = [&](int k) { return child<QLabel>(f, qPrintable(QStringLiteral("ana%1").arg(k)))->text(); };
    QCOMPARE(label(1), QStringLiteral("0.98 V"));
    QCOMPARE(label(4), QStringLiteral("0.24 V"));   // its field has a negative length: kept
    QCOMPARE(label(5), QStringLiteral("0. V"));     // read from the start of the buffer: 0
    QCOMPARE(label(8), QStringLiteral("24.19 V"));  // four characters: 1234
    QCOMPARE(host.tabs.tab_ana(4, 0), Element::text(QStringLiteral("old")));
    QCOMPARE(host.tabs.tab_ana(5, 0), Element::text(QStringLiteral("0.")));
    QCOMPARE(host.tabs.tab_ana(8, 0), Element::text(QStringLiteral("1234.")));

    host.buffer = QStringLiteral("nA");  // no reply: only channel 8, as 0
    f.decode(host.buffer, host.clk.now());
    QCOMPARE(label(1), QStringLiteral("0.98 V"));
    QCOMPARE(label(8), QStringLiteral("0. V"));
    QVERIFY(host.tabs.tab_ana(1, 1).isEmpty());
    QCOMPARE(host.tabs.tab_ana(8, 1), Element::text(QStringLiteral("0.")));
    QCOMPARE(host.tabs.indice_a, 2);
}

void TestAcquisitionFrames::logicRecordingFillsTheLastSlot()
{
    FakeHost host;
    AnalogFrame af(host);
    LogicFrame lf(host);
    host.tabs.nbre_acqui = 1000;
    child<QCheckBox>(af, "memo_a")->setChecked(true);
    child<QCheckBox>(lf, "memo_l")->setChecked(true);
    host.tabs.indice_a = 1000;
    host.tabs.indice_l = 8000;
    host.buffer = QStringLiteral("nAs1:1s2:2s3:3s4:4s5:5s6:6s7:7s8:8");
    af.decode(host.buffer, host.clk.now());
    host.buffer = QStringLiteral("E:255");
    lf.decode(host.buffer, host.clk.now());
    QCOMPARE(host.tabs.tab_ana(7, 1000), Element::text(QStringLiteral("7.")));
    for (int e = 8000; e < 8008; ++e) QCOMPARE(host.tabs.tab_log[size_t(e)], Element::text(QStringLiteral("1")));
    QVERIFY(!child<QCheckBox>(af, "memo_a")->isChecked());
    QVERIFY(!child<QCheckBox>(lf, "memo_l")->isChecked());
    QCOMPARE(host.tabs.indice_a, 0);
    QCOMPARE(host.tabs.indice_l, 0);
}

// The "Acquisition Programmée" buttons change colour with the mode; their
// caption keeps the font of the frame's other buttons through every change.
void TestAcquisitionFrames::programButtonKeepsItsFont()
{
    FakeHost host;
    AnalogFrame af(host);
    LogicFrame lf(host);
    const struct {
        Panel p;
        const char *manual;
    } frames[] = {{analogPanel(af), "Command12"}, {logicPanel(lf), "Command13"}};
    for (const auto &[p, manual] : frames) {
        auto *program = child<QPushButton>(p.frame, p.program);
        const QFont usual = child<QPushButton>(p.frame, manual)->font();
        auto sameFont = [&] {
            const QFontInfo now(program->font()), want(usual);
            return now.family() == want.family() && now.pixelSize() == want.pixelSize() &&
                   now.weight() == want.weight();
        };
        QVERIFY(sameFont());
        for (int round = 0; round < 2; ++round) {
            child<QCheckBox>(p.frame, p.programmed)->setChecked(true);
            p.validate();
            QCOMPARE(backColour(p.frame, p.program), kRed);
            QVERIFY2(sameFont(), qPrintable(program->font().toString()));
            // The face shows the colour.
            QCOMPARE(program->grab().toImage().pixelColor(4, program->height() / 2), kRed);
            p.cancel();
            QCOMPARE(backColour(p.frame, p.program), kGrey);
            QVERIFY2(sameFont(), qPrintable(program->font().toString()));
            QCOMPARE(program->grab().toImage().pixelColor(4, program->height() / 2), kGrey);
        }
    }
}

void TestAcquisitionFrames::silentBoardIsSaid_data() { bothFrames(); }

// A buffer without any of the frame's markers: the values show as the
// decoding gives them, and the status line says the board did not answer
// until the next reply.
void TestAcquisitionFrames::silentBoardIsSaid()
{
    QFETCH(bool, analog);
    FakeHost host;
    AnalogFrame af(host);
    LogicFrame lf(host);
    const auto step = [&] { analog ? af.decode(host.buffer, host.clk.now()) : lf.decode(host.buffer, host.clk.now()); };
    const QString silence = analog ? QStringLiteral("Pas de réponse de la carte (entrées analogiques)")
                                   : QStringLiteral("Pas de réponse de la carte (entrées logiques)");
    const QString reply =
        analog ? QStringLiteral("nAs1:100s2:0s3:255s4:12s5:1s6:2s7:3s8:200") : QStringLiteral("E:165");
    QLabel *first = child<QLabel>(analog ? static_cast<QWidget &>(af) : lf, analog ? "ana1" : "log1_0");
    QLabel *last = child<QLabel>(analog ? static_cast<QWidget &>(af) : lf, analog ? "ana8" : "log1_7");

    host.buffer = reply;
    step();
    QCOMPARE(host.statusText(), QString());
    const QString firstShown = first->text();
    for (const QString &silent : {analog ? QStringLiteral("nA") : QString(), QStringLiteral("nA\r\n?? 12:7")}) {
        host.buffer = silent;
        step();
        QCOMPARE(host.statusText(), silence);
        QCOMPARE(last->text(), analog ? QStringLiteral("0. V") : QStringLiteral("0"));  // as decoded
        if (analog) QCOMPARE(first->text(), firstShown);                                // channel 1 skipped: kept
    }
    host.buffer = reply;
    step();
    QCOMPARE(host.statusText(), QString());

    // Only that sentence is taken back, not another one shown since.
    host.buffer = QString();
    step();
    host.showStatus(QStringLiteral("Tableaux enregistrés"));
    host.buffer = reply;
    step();
    QCOMPARE(host.statusText(), QStringLiteral("Tableaux enregistrés"));

    // A line that fails says so already: its sentence stays.
    host.linkDown = true;
    host.showStatus(QStringLiteral("COM1 (/dev/ttyS0) : port absent"));
    host.buffer = QString();
    step();
    QCOMPARE(host.statusText(), QStringLiteral("COM1 (/dev/ttyS0) : port absent"));
}

void TestAcquisitionFrames::fullTablesAreSaidWhileCycling_data()
{
    QTest::addColumn<bool>("analog");
    QTest::addColumn<bool>("cycling");
    QTest::addColumn<bool>("journal");
    QTest::addColumn<bool>("memorise");
    QTest::addColumn<QString>("said");
    const QString full = QStringLiteral("Tableaux %1 pleins (1001 acquisitions) : mémorisation arrêtée");
    const QString goesOn = QStringLiteral(" ; le journal continu poursuit l'enregistrement");
    QTest::newRow("analog") << true << true << false << true << full.arg("analogiques");
    QTest::newRow("analog, journal") << true << true << true << true << full.arg("analogiques") + goesOn;
    QTest::newRow("logic, journal") << false << true << true << true << full.arg("logiques") + goesOn;
    QTest::newRow("manual: nothing said") << true << false << false << true << QString();
    // The index wraps all the same, but nothing was stored and nothing stops.
    QTest::newRow("analog never memorised") << true << true << true << false << QString();
    QTest::newRow("logic never memorised") << false << true << false << false << QString();
}

// "Mémorisation" unticks itself after the last slot while the cycle goes on:
// the status line says so rather than letting the recording fall silent.
void TestAcquisitionFrames::fullTablesAreSaidWhileCycling()
{
    QFETCH(bool, analog);
    QFETCH(bool, cycling);
    QFETCH(bool, journal);
    QFETCH(bool, memorise);
    QFETCH(QString, said);
    FakeHost host;
    host.journal = journal;
    AnalogFrame af(host);
    LogicFrame lf(host);
    const Panel p = analog ? analogPanel(af) : logicPanel(lf);
    host.tabs.nbre_acqui = 1000;
    child<QCheckBox>(p.frame, analog ? "memo_a" : "memo_l")->setChecked(memorise);
    if (cycling) {
        child<QComboBox>(p.frame, p.intervals)->setCurrentIndex(6);
        child<QCheckBox>(p.frame, p.cyclic)->setChecked(true);
        p.validate();
    }
    host.tabs.indice_a = 999;
    host.tabs.indice_l = 7992;
    for (int i = 0; i < 2; ++i) {
        QVERIFY(host.statuses.isEmpty());
        host.buffer = analog ? QStringLiteral("nAs1:1s2:2s3:3s4:4s5:5s6:6s7:7s8:8") : QStringLiteral("E:3");
        analog ? af.decode(host.buffer, host.clk.now()) : lf.decode(host.buffer, host.clk.now());
    }
    QVERIFY(!child<QCheckBox>(p.frame, analog ? "memo_a" : "memo_l")->isChecked());
    QCOMPARE(host.statuses.value(0), said);
}

void TestAcquisitionFrames::decodedAcquisitionsAreAnnounced_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("point") << QLocale::c();
    QTest::newRow("comma") << QLocale(QLocale::French, QLocale::France);
}

// Every decoding, memorised or not, is announced with the time the request
// was written, the values with "." whatever the regional setting; the same
// time goes beside the memorised slot.
void TestAcquisitionFrames::decodedAcquisitionsAreAnnounced()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    FakeHost host;
    AnalogFrame af(host);
    LogicFrame lf(host);
    std::vector<acquisition::Acquired> heard;
    auto keep = [&heard](const acquisition::Acquired &a) { heard.push_back(a); };
    connect(&af, &AnalogFrame::acquisitionDecoded, keep);
    connect(&lf, &LogicFrame::acquisitionDecoded, keep);
    child<QLineEdit>(af, "coeff_a2")->setText(locale.toString(0.5));
    child<QLineEdit>(af, "coeff_a3")->setText(QStringLiteral("x"));
    child<QLineEdit>(af, "u_ana4")->setText(QStringLiteral("mA"));
    host.clk.set(14, 32, 7);
    host.clk.advance(412);
    const QDateTime asked = host.clk.now();
    host.buffer = QStringLiteral("nAs1:100s2:45s3:255s4:12s5:1s6:2s7:3s8:200");
    host.clk.advance(1100);
    af.decode(host.buffer, asked);
    child<QCheckBox>(lf, "memo_l")->setChecked(true);
    host.tabs.indice_l = 16;
    host.buffer = QStringLiteral("E:165");
    const QDateTime logicAsked = host.clk.now();
    host.clk.advance(500);
    lf.decode(host.buffer, logicAsked);

    QCOMPARE(heard.size(), size_t(2));
    const acquisition::Acquired &a = heard[0];
    QCOMPARE(a.channel, Channel::Analog);
    QCOMPARE(a.time, QDateTime(QDate(2026, 12, 7), QTime(14, 32, 7, 412)));
    QCOMPARE(a.time, asked);
    QCOMPARE(a.slot, -1);  // not memorised
    QCOMPARE(QStringList(a.values.begin(), a.values.end()),
             QStringList({"100.", "22.5", "", "12.", "1.", "2.", "3.", "200."}));
    QCOMPARE(a.units[3], QStringLiteral("mA"));
    QVERIFY(!host.tabs.times.analog(0).isValid());
    const acquisition::Acquired &l = heard[1];
    QCOMPARE(l.channel, Channel::Logic);
    QCOMPARE(l.time, asked.addMSecs(1100));
    QCOMPARE(l.slot, 2);
    QCOMPARE(QStringList(l.values.begin(), l.values.end()).join(QString()), QStringLiteral("10100101"));
    QCOMPARE(host.tabs.times.logic(2), asked.addMSecs(1100));
}

QTEST_MAIN(TestAcquisitionFrames)
#include "test_acquisition_frames.moc"
