// Relay outputs: the output byte, the switching buttons and the timetable,
// driven through the window's own controls.
#include "link/protocol.h"
#include "outputs/lamps_widget.h"
#include "shell/form1.h"
#include "support/fake_clock.h"
#include "ui/controls.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

namespace {

std::array<QColor, 8> colours(const QList<int> &onIndexes)
{
    std::array<QColor, 8> c;
    c.fill(outputs::lampOff());
    for (int i : onIndexes) c[size_t(i)] = outputs::lampOn();
    return c;
}

}  // namespace

class TestOutputs : public QObject {
    Q_OBJECT
    FakeClock clock;
    std::unique_ptr<Form1> form;

    Lamp *lamp(int i) { return form->findChild<Lamp *>(QStringLiteral("lampe1_%1").arg(i)); }
    QWidget *widget(const QString &name) { return form->findChild<QWidget *>(name); }
    int byte() { return board::outputByte(form->lamps()); }

    QTemporaryDir dir;

private slots:
    void init()
    {
        clock = FakeClock();
        Form1::Setup setup;
        setup.clock = &clock;
        setup.programDir = dir.path();  // no "param.ini" there
        setup.quitApplication = false;
        form = std::make_unique<Form1>(setup);
    }
    void cleanup() { form.reset(); }

    void outputByte_data()
    {
        QTest::addColumn<QList<int>>("on");
        QTest::addColumn<int>("byte");
        QTest::newRow("all off") << QList<int>{} << 0x00;
        QTest::newRow("all on") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7} << 0xFF;
        QTest::newRow("output 1") << QList<int>{0} << 0x01;
        QTest::newRow("output 8") << QList<int>{7} << 0x80;
        QTest::newRow("outputs 1 and 3") << QList<int>{0, 2} << 0x05;
    }
    void outputByte()
    {
        QFETCH(QList<int>, on);
        QFETCH(int, byte);
        QCOMPARE(int(board::outputByte(colours(on))), byte);
        const QByteArray cmd = board::outputCommand(quint8(byte));
        QCOMPARE(cmd.size(), 2);
        QCOMPARE(cmd[0], 'n');
        QCOMPARE(quint8(cmd[1]), quint8(byte));
    }

    void otherColoursCountAsOffAndStay()
    {
        std::array<QColor, 8> c = colours({0});
        c[1] = QColor(0, 254, 0);
        c[2] = QColor(255, 0, 0);
        QCOMPARE(int(board::outputByte(c)), 0x01);
        QCOMPARE(outputs::toggled(QColor(0, 254, 0)), QColor(0, 254, 0));
    }

    void everyMouseButtonToggles_data()
    {
        QTest::addColumn<int>("button");
        for (int button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) QTest::addRow("%d", button) << button;
    }
    void everyMouseButtonToggles()
    {
        QFETCH(int, button);
        QWidget *b = widget(QStringLiteral("Command1_2"));
        QVERIFY(b);
        QCOMPARE(qobject_cast<QPushButton *>(b)->text(), QStringLiteral("Forçage Sortie 3"));
        QTest::mousePress(b, Qt::MouseButton(button));
        QCOMPARE(lamp(2)->color(), outputs::lampOn());
        QCOMPARE(byte(), 0x04);
        QTest::mouseRelease(b, Qt::MouseButton(button));
        QTest::mousePress(b, Qt::MouseButton(button));
        QCOMPARE(lamp(2)->color(), outputs::lampOff());
    }

    void globalButtons()
    {
        QTest::mousePress(widget(QStringLiteral("Command1_0")), Qt::LeftButton);
        QTest::mousePress(widget(QStringLiteral("Command1_1")), Qt::LeftButton);
        QCOMPARE(byte(), 0x03);
        QTest::mouseClick(widget(QStringLiteral("Command11")), Qt::LeftButton);  // "Sorties Inv"
        QCOMPARE(byte(), 0xFC);
        QTest::mouseClick(widget(QStringLiteral("Command10")), Qt::LeftButton);  // "Sorties à 1"
        QCOMPARE(byte(), 0xFF);
        QTest::mouseClick(widget(QStringLiteral("Command9")), Qt::LeftButton);  // "Sorties à 0"
        QCOMPARE(byte(), 0x00);
    }

    void timetable_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<bool>("on");
        const std::tuple<const char *, const char *, const char *, bool, QTime, bool> rows[] = {
            {"start matches", "08:00:00", "09:00:00", true, QTime(8, 0, 0), true},
            {"other second", "08:00:00", "09:00:00", true, QTime(8, 0, 1), false},
            {"start equals end ends off", "08:00:00", "08:00:00", true, QTime(8, 0, 0), false},
            {"late start across midnight", "23:00:00", "01:00:00", true, QTime(23, 0, 0), true},
            {"single-digit hour", "8:00:00", "", true, QTime(8, 0, 0), false},
            {"no seconds", "08:00", "", true, QTime(8, 0, 0), false},
            {"blank around", " 08:00:00", "", true, QTime(8, 0, 0), false},
            {"auto unticked", "08:00:00", "", false, QTime(8, 0, 0), false}};
        for (const auto &[name, start, end, automatic, now, on] : rows)
            QTest::newRow(name) << QString::fromLatin1(start) << QString::fromLatin1(end) << automatic << now << on;
    }
    void timetable()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(bool, automatic);
        QFETCH(QTime, now);
        QFETCH(bool, on);
        form->findChild<QLineEdit *>(QStringLiteral("heure1_4"))->setText(start);
        form->findChild<QLineEdit *>(QStringLiteral("heure2_4"))->setText(end);
        form->findChild<QCheckBox *>(QStringLiteral("auto1_4"))->setChecked(automatic);
        clock.time = now;
        form->bench().Timer1_Timer();
        QCOMPARE(lamp(4)->color() == outputs::lampOn(), on);
        QCOMPARE(byte() & ~0x10, 0);  // no other output moved
    }

    void timetableAcrossMidnightTurnsOffNextMorning()
    {
        form->findChild<QLineEdit *>(QStringLiteral("heure1_0"))->setText(QStringLiteral("23:00:00"));
        form->findChild<QLineEdit *>(QStringLiteral("heure2_0"))->setText(QStringLiteral("01:00:00"));
        form->findChild<QCheckBox *>(QStringLiteral("auto1_0"))->setChecked(true);
        for (auto [h, m, expected] : {std::tuple{23, 0, 0x01}, {0, 30, 0x01}, {1, 0, 0x00}}) {
            clock.set(h, m, 0);
            form->bench().Timer1_Timer();
            QCOMPARE(byte(), expected);
        }
    }

    void rightClickFillsTheTime()
    {
        clock.set(14, 32, 7);
        auto *box = form->findChild<QLineEdit *>(QStringLiteral("heure1_3"));
        box->setText(QStringLiteral("x"));
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(box->text(), QStringLiteral("x"));
        QTest::mouseClick(box, Qt::RightButton);
        QCOMPARE(box->text(), QStringLiteral("14:32:07"));
        auto *end = form->findChild<QLineEdit *>(QStringLiteral("heure2_7"));
        QTest::mouseClick(end, Qt::RightButton);
        QCOMPARE(end->text(), QStringLiteral("14:32:07"));
    }

    void receiveBufferKeepsTheNewest()
    {
        form->n_debug_Click();
        QString chunk(1000, u'x');
        for (int i = 0; i < 100; ++i) form->appendToBuffer(chunk);
        form->appendToBuffer(QStringLiteral("E:165\r\n"));
        QCOMPARE(form->receiveBuffer().size(), Form1::kBufferCap);
        QVERIFY(form->receiveBuffer().endsWith(u"xE:165\r\n"));
        auto *text1 = form->findChild<QPlainTextEdit *>(QStringLiteral("Text1"));
        QVERIFY(!text1->isHidden());
        QVERIFY(text1->toPlainText().trimmed().endsWith(u"E:165"));
        QVERIFY(text1->toPlainText().size() <= Form1::kViewCap + Form1::kViewCap / 4);  // the newest text
        QVERIFY(text1->toPlainText().size() >= Form1::kViewCap - 2);  // the box turns line ends into one
        QTest::mouseClick(text1->viewport(), Qt::LeftButton);
        QVERIFY(text1->isHidden());
    }

    void clockShowsTheTimeText()
    {
        clock.set(7, 5, 0);
        form->Timer3_Timer();
        QCOMPARE(form->findChild<QLabel *>(QStringLiteral("Label18"))->text(), QStringLiteral("07:05:00"));
    }
};

QTEST_MAIN(TestOutputs)
#include "test_outputs.moc"
