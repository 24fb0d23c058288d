// Decoding of the board's replies, the recording rules, the whole-table
// operations, the listing and the day lists, under point and comma settings.

#include "acquisition/decode.h"
#include "acquisition/request_gate.h"
#include "acquisition/schedule.h"
#include "acquisition/table_ops.h"
#include "support/both_locales.h"

#include <QLocale>
#include <QtTest>

using namespace acquisition;

namespace {

const QString kSkip = QStringLiteral("<skip>");

// Expected texts are written with "." and shown with the separator in force.
QString local(QString s) { return s.replace(u'.', QLocale().decimalPoint()); }

std::array<QString, 8> eight(const QString &v)
{
    std::array<QString, 8> a;
    a.fill(v);
    return a;
}

using panel::useLocale;

const char *const kExample = "nAs1:100s2:0s3:255s4:12s5:1s6:2s7:3s8:200";

}  // namespace

class TestAcquisition : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void analogDecoding_data();
    void analogDecoding();
    void logicDecoding_data();
    void logicDecoding();
    void analogStoreAtTheLastSlot();
    void logicStoreAtTheLastSlot();
    void storeAfterLoweringTheCount();
    void storeWithoutMemorisationStillCounts();
    void skippedChannelKeepsItsSlot();
    void listingLines_data();
    void listingLines();
    void logicListingLines();
    void tableViewCycle();
    void clearListsAndLeavesTheRest_data();
    void clearListsAndLeavesTheRest();
    void randomFill();
    void intervals();
    void daySelection_data();
    void daySelection();
    void cyclicWait();
    void sharedLine_data();
    void sharedLine();
};

void TestAcquisition::analogDecoding_data()
{
    QTest::addColumn<bool>("french");
    QTest::addColumn<QString>("buffer");
    QTest::addColumn<QStringList>("coefficients");  // channel: text, the others "1"
    QTest::addColumn<QStringList>("labels");        // kSkip: label and slot kept
    QTest::addColumn<QStringList>("stored");

    const QStringList none;
    const QStringList exampleLabels = {"1.96 V", "0. V", "5. V", "0.24 V", "0.02 V", "0.04 V", "0.06 V", "3.92 V"};
    const QStringList exampleStored = {"100.", "0.", "255.", "12.", "1.", "2.", "3.", "200."};
    for (bool french : {false, true}) {
        const char *tag = french ? "comma" : "point";
        QTest::addRow("example %s", tag) << french << kExample << none << exampleLabels << exampleStored;
        QTest::addRow("s5 missing %s", tag)
            << french << "nAs1:100s2:0s3:255s4:12s6:2s7:3s8:200" << none
            << QStringList{"1.96 V", "0. V", "5. V", kSkip, "0. V", "0.04 V", "0.06 V", "3.92 V"}
            << QStringList{"100.", "0.", "255.", kSkip, "0.", "2.", "3.", "200."};
        QTest::addRow("no reply %s", tag)
            << french << "nA" << none << QStringList{kSkip, kSkip, kSkip, kSkip, kSkip, kSkip, kSkip, "0. V"}
            << QStringList{kSkip, kSkip, kSkip, kSkip, kSkip, kSkip, kSkip, "0."};
        QTest::addRow("channel 8 reads four characters %s", tag)
            << french << "nAs1:100s2:0s3:255s4:12s5:1s6:2s7:3s8:12345\r\n"
            << none << QStringList{"1.96 V", "0. V", "5. V", "0.24 V", "0.02 V", "0.04 V", "0.06 V", "24.19 V"}
            << QStringList{"100.", "0.", "255.", "12.", "1.", "2.", "3.", "1234."};
        QTest::addRow("coefficient 2 %s", tag)
            << french << kExample << QStringList{"3", "2"}
            << QStringList{"1.96 V", "0. V", "10. V", "0.24 V", "0.02 V", "0.04 V", "0.06 V", "3.92 V"}
            << QStringList{"100.", "0.", "510.", "12.", "1.", "2.", "3.", "200."};
        QTest::addRow("coefficient abc %s", tag)
            << french << kExample << QStringList{"2", "abc"}
            << QStringList{"1.96 V", kSkip, "5. V", "0.24 V", "0.02 V", "0.04 V", "0.06 V", "3.92 V"}
            << QStringList{"100.", kSkip, "255.", "12.", "1.", "2.", "3.", "200."};
        QTest::addRow("coefficient empty %s", tag)
            << french << kExample << QStringList{"8", ""} << exampleLabels.mid(0, 7) + QStringList{kSkip}
            << exampleStored.mid(0, 7) + QStringList{kSkip};
        // Beyond the range of a double: nothing to show or store ("inf V").
        QTest::addRow("raw 1e999 %s", tag)
            << french << "nAs1:1e999s2:0s3:255s4:12s5:1s6:2s7:3s8:200" << none
            << QStringList{kSkip} + exampleLabels.mid(1) << QStringList{kSkip} + exampleStored.mid(1);
        QTest::addRow("coefficient 1e400 %s", tag)
            << french << kExample << QStringList{"3", "1e400"}
            << QStringList{"1.96 V", "0. V", kSkip, "0.24 V", "0.02 V", "0.04 V", "0.06 V", "3.92 V"}
            << QStringList{"100.", "0.", kSkip, "12.", "1.", "2.", "3.", "200."};
        // 0 × infinity is no number at all ("nan V").
        QTest::addRow("coefficient 0 and raw 1e999 %s", tag)
            << french << "nAs1:1e999s2:0s3:255s4:12s5:1s6:2s7:3s8:200" << QStringList{"1", "0"}
            << QStringList{kSkip} + exampleLabels.mid(1) << QStringList{kSkip} + exampleStored.mid(1);
        // Each finite, their product not.
        QTest::addRow("product beyond a double %s", tag)
            << french << "nAs1:1e300s2:0s3:255s4:12s5:1s6:2s7:3s8:200" << QStringList{"1", "1e300"}
            << QStringList{kSkip} + exampleLabels.mid(1) << QStringList{kSkip} + exampleStored.mid(1);
    }
    // The coefficient follows the regional separator; the other one is no number.
    QTest::addRow("coefficient 0,5 comma")
        << true << kExample << QStringList{"1", "0,5"} << QStringList{"0.98 V"} + exampleLabels.mid(1)
        << QStringList{"50."} + exampleStored.mid(1);
    QTest::addRow("coefficient 0,5 point")
        << false << kExample << QStringList{"1", "0,5"} << QStringList{kSkip} + exampleLabels.mid(1)
        << QStringList{kSkip} + exampleStored.mid(1);
    QTest::addRow("coefficient 0.5 point")
        << false << kExample << QStringList{"1", "0.5"} << QStringList{"0.98 V"} + exampleLabels.mid(1)
        << QStringList{"50."} + exampleStored.mid(1);
    QTest::addRow("coefficient 0.5 comma")
        << true << kExample << QStringList{"1", "0.5"} << QStringList{kSkip} + exampleLabels.mid(1)
        << QStringList{kSkip} + exampleStored.mid(1);
    // A raw field without a number reads 0; the field's decimal point is always ".".
    QTest::addRow("raw field garbled comma")
        << true << "nAs1:xxs2:1.5s3:2,5s4:4s5:5s6:6s7:7s8:8" << QStringList{}
        << QStringList{"0. V", "0.03 V", "0.04 V", "0.08 V", "0.1 V", "0.12 V", "0.14 V", "0.16 V"}
        << QStringList{"0.", "1.5", "2.", "4.", "5.", "6.", "7.", "8."};
}

void TestAcquisition::analogDecoding()
{
    QFETCH(bool, french);
    QFETCH(QString, buffer);
    QFETCH(QStringList, coefficients);
    QFETCH(QStringList, labels);
    QFETCH(QStringList, stored);
    useLocale(french);
    std::array<QString, 8> coeff = eight(QStringLiteral("1"));
    for (int i = 0; i + 1 < coefficients.size(); i += 2)
        coeff[size_t(coefficients[i].toInt() - 1)] = coefficients[i + 1];
    const AnalogReading r = decodeAnalog(buffer, coeff, eight(QStringLiteral("V")));
    for (int k = 0; k < 8; ++k) {
        const auto &v = r[size_t(k)];
        QCOMPARE(v.has_value(), labels[k] != kSkip);
        if (!v) continue;
        QCOMPARE(v->label, local(labels[k]));
        QCOMPARE(v->stored, local(stored[k]));
    }
}

void TestAcquisition::logicDecoding_data()
{
    QTest::addColumn<bool>("french");
    QTest::addColumn<QString>("buffer");
    QTest::addColumn<QString>("inputs");  // "Voie 1" first
    // Three characters after the marker at most; above 255 the first two hex
    // digits; the field's decimal point is always "." and a comma ends the number.
    const char *const rows[][3] = {{"E:165", "E:165", "10100101"},
                                   {"E:5 CR", "E:5\r", "10100000"},
                                   {"E:0", "E:0", "00000000"},
                                   {"empty", "", "00000000"},
                                   {"E:255", "E:255", "11111111"},
                                   {"E:3 5", "E:3 5", "11000100"},
                                   {"two replies", "E:3\r\nE:255\r\n", "11000000"},
                                   {"only three characters", "E:1234", "11011110"},
                                   {"above 255", "E:999", "01111100"},
                                   {"1e9", "E:1e9", "11011100"},
                                   {"half to even", "E:2.5", "01000000"},
                                   {"half to even up", "E:3.5", "00100000"},
                                   {"comma ends the number", "E:3,5", "11000000"},
                                   {"no marker reads from position 2", "x234", "01010111"},
                                   {"garbled before the marker", "\r\nE:12", "00110000"},
                                   {"huge", "E:9e9", "00000000"},
                                   {"negative", "E:-12", "00000000"},
                                   {"negative one", "E:-1", "00000000"},
                                   {"no number", "E:abc", "00000000"},
                                   {"marker at the end", "E:", "00000000"}};
    for (bool french : {false, true})
        for (const auto &r : rows) QTest::addRow("%s %s", r[0], french ? "comma" : "point") << french << r[1] << r[2];
}

void TestAcquisition::logicDecoding()
{
    QFETCH(bool, french);
    QFETCH(QString, buffer);
    QFETCH(QString, inputs);
    useLocale(french);
    const LogicBits bits = decodeLogic(buffer);
    QString shown;
    for (QChar c : bits) shown += c;
    QCOMPARE(shown, inputs);
}

namespace {
AnalogReading readingOf(const QString &stored)
{
    AnalogReading r;
    for (auto &v : r) v = AnalogValue{QString(), stored};
    return r;
}
}  // namespace

void TestAcquisition::analogStoreAtTheLastSlot()
{
    Tables t;
    t.nbre_acqui = 1000;
    t.indice_a = 999;
    QVERIFY(!storeAnalog(t, true, readingOf("1.")));
    QCOMPARE(t.indice_a, 1000);
    QVERIFY(storeAnalog(t, true, readingOf("2.")));
    QCOMPARE(t.indice_a, 0);
    for (int k = 1; k <= 8; ++k) QCOMPARE(t.tab_ana(k, 1000), Element::text("2."));
}

void TestAcquisition::logicStoreAtTheLastSlot()
{
    Tables t;
    t.nbre_acqui = 1000;
    t.indice_l = 8000;
    const LogicBits bits = decodeLogic(u"E:165");
    QVERIFY(storeLogic(t, true, bits));
    QCOMPARE(t.indice_l, 0);
    const char *expected = "10100101";
    for (int k = 0; k < 8; ++k) QCOMPARE(t.tab_log[size_t(8000 + k)], Element::text(QString(QChar(expected[k]))));

    t.indice_l = 16;
    QVERIFY(!storeLogic(t, true, bits));
    QCOMPARE(t.indice_l, 24);
    QCOMPARE(t.tab_log[16], Element::text("1"));
    QCOMPARE(t.tab_log[17], Element::text("0"));
}

void TestAcquisition::storeAfterLoweringTheCount()
{
    Tables t;
    t.indice_a = 50;
    t.indice_l = 400;
    t.nbre_acqui = 20;
    QVERIFY(storeAnalog(t, true, readingOf("7.")));
    QCOMPARE(t.tab_ana(3, 50), Element::text("7."));
    QCOMPARE(t.indice_a, 0);
    QVERIFY(storeLogic(t, true, decodeLogic(u"E:1")));
    QCOMPARE(t.tab_log[400], Element::text("1"));
    QCOMPARE(t.indice_l, 0);
}

void TestAcquisition::storeWithoutMemorisationStillCounts()
{
    Tables t;
    t.indice_a = 5;
    QVERIFY(!storeAnalog(t, false, readingOf("9.")));
    QVERIFY(!storeLogic(t, false, decodeLogic(u"E:255")));
    QCOMPARE(t.indice_a, 6);
    QCOMPARE(t.indice_l, 8);
    QVERIFY(t.tab_ana(1, 5).isEmpty());
    QVERIFY(t.tab_log[0].isEmpty());
}

void TestAcquisition::skippedChannelKeepsItsSlot()
{
    Tables t;
    t.tab_ana(1, 0) = Element::text("old");
    t.tab_ana(8, 0) = Element::text("old");
    storeAnalog(t, true, decodeAnalog(u"nA", eight("1"), eight("V"), u"."));
    QCOMPARE(t.tab_ana(1, 0), Element::text("old"));
    QCOMPARE(t.tab_ana(8, 0), Element::text("0."));
    QCOMPARE(t.indice_a, 1);
}

void TestAcquisition::listingLines_data()
{
    QTest::addColumn<bool>("french");
    QTest::addColumn<int>("kind");  // 0 empty, 1 number, 2 text
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");
    for (bool french : {false, true}) {
        const char *tag = french ? "comma" : "point";
        const QString sep = french ? "," : ".";
        QTest::addRow("never written %s", tag) << french << 0 << 0.0 << ""
                                               << "Acqui N°:4  val: =0" + sep;
        QTest::addRow("cleared %s", tag) << french << 1 << 0.0 << ""
                                         << "Acqui N°:4  val:0 =0" + sep;
        QTest::addRow("random 51 %s", tag) << french << 1 << 51.0 << ""
                                           << "Acqui N°:4  val:51 =1" + sep;
        QTest::addRow("fraction number %s", tag) << french << 1 << 12.5 << ""
                                                 << "Acqui N°:4  val:12" + sep + "5 =0" + sep + "25";
        QTest::addRow("memorised %s", tag) << french << 2 << 0.0 << "127" + sep + "5"
                                           << "Acqui N°:4  val:127" + sep + "5 =2" + sep + "5";
    }
    // Memorised under the other setting: shown as it is, worth 0.
    QTest::addRow("foreign text") << true << 2 << 0.0 << "127.5"
                                  << "Acqui N°:4  val:127.5 =0,";
}

void TestAcquisition::listingLines()
{
    QFETCH(bool, french);
    QFETCH(int, kind);
    QFETCH(double, number);
    QFETCH(QString, text);
    QFETCH(QString, line);
    useLocale(french);
    Tables t;
    t.nbre_acqui = 10;
    if (kind == 1) t.tab_ana(5, 4) = Element::number(number);
    if (kind == 2) t.tab_ana(5, 4) = Element::text(text);
    const QStringList lines = listTable(t, 3).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 12);  // eleven lines, each ending with CR LF
    QVERIFY(lines.last().isEmpty());
    QCOMPARE(lines[4], line);
    QCOMPARE(lines[0], QStringLiteral("Acqui N°:0  val: =0") + QLocale().decimalPoint());
}

void TestAcquisition::logicListingLines()
{
    Tables t;
    t.nbre_acqui = 1000;
    const char *bits = "10100001";
    for (int k = 0; k < 8; ++k) t.tab_log[size_t(k)] = Element::text(QString(QChar(bits[k])));
    t.tab_log[8] = Element::number(1);
    const QString listing = listLogic(t);
    const QStringList lines = listing.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 1002);
    QCOMPARE(lines[0], QStringLiteral("Acqui N°0: 1 0 1 0 0 0 0 1 "));
    QCOMPARE(lines[1], QStringLiteral("Acqui N°1: 1        "));
    QCOMPARE(lines[5], QStringLiteral("Acqui N°5:         "));
    QCOMPARE(lines[1000], QStringLiteral("Acqui N°1000:         "));
    QCOMPARE(listTable(t, 7), listing);
}

void TestAcquisition::tableViewCycle()
{
    Tables t;
    for (int k = 1; k <= 8; ++k) t.tab_ana(k, 0) = Element::number(k);
    t.tab_log[0] = Element::text("L");
    int num_tableau = 0;
    for (int step = 0; step < 10; ++step) {
        const int n = (step + 1) % 9 + 1;  // the analog table shown, 9 the logic one
        const TableView v = tableViewStep(t, num_tableau);
        QCOMPARE(v.caption.value_or(QString()),
                 n == 9 ? QStringLiteral("Tableau logique ") : QStringLiteral("Tableau analogique N° %1").arg(n));
        const QString start = n == 9 ? QStringLiteral("Acqui N°0: L ") : QStringLiteral("Acqui N°:0  val:%1 ").arg(n);
        QVERIFY2(v.text.startsWith(start), qPrintable(v.text.left(30)));
        QCOMPARE(v.text.count(QStringLiteral("\r\n")), 101);
        QCOMPARE(num_tableau, (step + 1) % 9);
    }
    int outside = 12;
    const TableView none = tableViewStep(t, outside);
    QVERIFY(none.text.isEmpty());
    QVERIFY(!none.caption);
    QCOMPARE(outside, 13);
}

void TestAcquisition::clearListsAndLeavesTheRest_data() { panel::addLocaleRows(); }

void TestAcquisition::clearListsAndLeavesTheRest()
{
    QFETCH(bool, french);
    useLocale(french);
    Tables t;
    t.tab_ana(2, 100) = Element::text("x");
    t.tab_ana(2, 101) = Element::text("keep");
    t.tab_log[807] = Element::text("1");
    t.tab_log[808] = Element::text("1");
    t.indice_a = 42;
    t.indice_l = 96;
    const QString listing = clearTables(t);
    const QStringList lines = listing.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 102);
    for (int i = 0; i <= 100; ++i)
        QCOMPARE(lines[i], QStringLiteral("Acqui N°:%1  val:0 =0").arg(i) + QLocale().decimalPoint());
    for (int k = 1; k <= 8; ++k) {
        QCOMPARE(t.tab_ana(k, 0), Element::number(0));
        QCOMPARE(t.tab_ana(k, 100), Element::number(0));
    }
    QCOMPARE(t.tab_ana(2, 101), Element::text("keep"));
    QCOMPARE(t.tab_log[807], Element::number(0));
    QCOMPARE(t.tab_log[808], Element::text("1"));
    QCOMPARE(t.indice_a, 42);
    QCOMPARE(t.indice_l, 96);
}

void TestAcquisition::randomFill()
{
    Tables a, b;
    a.nbre_acqui = b.nbre_acqui = 1000;
    RandomSource ra, rb;
    acquisition::randomFill(a, ra);
    acquisition::randomFill(b, rb);
    QVERIFY(a.ana == b.ana);  // the same tables after every start
    QVERIFY(a.tab_log == b.tab_log);
    int ones = 0;
    double highest = 0;
    for (int k = 1; k <= 8; ++k)
        for (int i = 0; i <= 1000; ++i) {
            const Element &e = a.tab_ana(k, i);
            QVERIFY(e.isNumber());
            QCOMPARE(e.asNumber(), std::floor(e.asNumber()));
            QVERIFY(e.asNumber() >= 0 && e.asNumber() <= 254);
            highest = std::max(highest, e.asNumber());
        }
    for (const Element &e : a.tab_log) {
        QVERIFY(e == Element::number(0) || e == Element::number(1));
        ones += int(e.asNumber());
    }
    QCOMPARE(highest, 254.0);
    QVERIFY(ones > 3600 && ones < 4400);
    acquisition::randomFill(b, rb);  // the next fill continues the sequence
    QVERIFY(!(a.ana == b.ana));

    Tables small;
    small.tab_ana(1, 101) = Element::text("keep");
    small.tab_log[808] = Element::text("keep");
    acquisition::randomFill(small, ra);
    QCOMPARE(small.tab_ana(1, 101), Element::text("keep"));
    QCOMPARE(small.tab_log[808], Element::text("keep"));
    QVERIFY(small.tab_log[807].isNumber());
}

void TestAcquisition::intervals()
{
    QCOMPARE(intervalEntries().size(), 7);
    QCOMPARE(intervalEntries().at(5), QStringLiteral("Toutes les 10 secondes"));
    const int expected[] = {3600, 1800, 600, 60, 30, 10, 2};
    for (int i = 0; i < 7; ++i) QCOMPARE(intervalSeconds(i), std::optional<int>(expected[i]));
    QVERIFY(!intervalSeconds(-1));
    QVERIFY(!intervalSeconds(7));
    QCOMPARE(analogDayEntries().size(), 10);
    QCOMPARE(logicDayEntries().size(), 9);
    QCOMPARE(analogDayEntries().at(8), QStringLiteral("Samedi et dimanche"));
    QCOMPARE(logicDayEntries().at(8), QStringLiteral("Tous les jours"));
    QCOMPARE(logicDayEntries().at(0), QStringLiteral(" "));
}

void TestAcquisition::daySelection_data()
{
    QTest::addColumn<bool>("analog");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("days");  // Monday … Sunday
    QTest::newRow("analog blank") << true << 0 << "1111100";
    QTest::newRow("analog Lundi") << true << 1 << "1000000";
    QTest::newRow("analog Mercredi") << true << 3 << "0010000";
    QTest::newRow("analog Dimanche") << true << 7 << "0000001";
    QTest::newRow("analog Samedi et dimanche") << true << 8 << "0000011";
    QTest::newRow("analog Tous les jours") << true << 9 << "1111111";
    QTest::newRow("analog none") << true << -1 << "0000000";
    QTest::newRow("analog beyond") << true << 10 << "0000000";
    QTest::newRow("logic blank") << false << 0 << "1111100";
    QTest::newRow("logic Samedi") << false << 6 << "0000010";
    QTest::newRow("logic Tous les jours") << false << 8 << "1111111";
    QTest::newRow("logic beyond") << false << 9 << "0000000";
    QTest::newRow("logic none") << false << -1 << "0000000";
}

void TestAcquisition::daySelection()
{
    QFETCH(bool, analog);
    QFETCH(int, position);
    QFETCH(QString, days);
    for (int day = 1; day <= 7; ++day) QCOMPARE(daySelected(analog, position, day), days[day - 1] == u'1');
    QVERIFY(programmedDue(analog, 9 - int(!analog), 3, "08:00:00", "08:00:00"));
    QVERIFY(!programmedDue(analog, 9 - int(!analog), 3, "8:00:00", "08:00:00"));
}

void TestAcquisition::cyclicWait()
{
    CyclicWait w;
    QVERIFY(!w.due(1000000));
    w.start(5000, 10);
    QVERIFY(!w.due(14999));
    QCOMPARE(w.remainingMs(14000), 1000);
    QVERIFY(w.due(15000));
    QCOMPARE(w.remainingMs(16000), 0);
    w.stop();
    QVERIFY(!w.due(20000));
}

// The two frames on one line: "A@100" is an analog start at 100 ms, "dL" the
// logic decoding, "reset" the end of the panel. Each start answers B (begins),
// H (held) or J (joins the frame's own acquisition); each decoding answers the
// frame whose held start proceeds now, or "-".
void TestAcquisition::sharedLine_data()
{
    QTest::addColumn<QString>("events");
    QTest::addColumn<QString>("answers");
    QTest::newRow("the other frame waits for the decoding") << "A@0 L@900 dA L@1500 dL"
                                                            << "BHLB-";
    QTest::newRow("logic first, analog waits") << "L@0 A@100 dL A@900 dA"
                                               << "BHAB-";
    QTest::newRow("one start held per frame") << "A@0 L@500 L@1000 dA L@1500 dL"
                                              << "BHHLB-";
    QTest::newRow("own start joins the acquisition under way") << "A@0 A@600 dA L@1600"
                                                               << "BJ-B";
    QTest::newRow("each in turn, nothing held") << "A@0 dA L@1600 dL A@2500"
                                                << "B-B-B";
    QTest::newRow("decoding with nothing in flight") << "dA L@0 dA dL"
                                                     << "-B--";
    QTest::newRow("a lost decoding holds nothing back for ever") << "A@0 L@1000 L@4000"
                                                                 << "BHB";
    QTest::newRow("the end clears everything") << "A@0 L@100 reset dA L@200"
                                               << "BH-B";
}

void TestAcquisition::sharedLine()
{
    QFETCH(QString, events);
    QFETCH(QString, answers);
    RequestGate gate;
    QString said;
    for (const QString &e : events.split(u' ')) {
        const Channel c = e.contains(u'A') ? Channel::Analog : Channel::Logic;
        if (e == u"reset") {
            gate.reset();
        } else if (e.startsWith(u'd')) {
            const std::optional<Channel> next = gate.decoded(c);
            said += !next ? u'-' : *next == Channel::Analog ? u'A' : u'L';
        } else {
            const RequestGate::Start s = gate.start(c, e.section(u'@', 1).toLongLong());
            said += s == RequestGate::Start::Begin ? u'B' : s == RequestGate::Start::Held ? u'H' : u'J';
        }
    }
    QCOMPARE(said, answers);
}

QTEST_GUILESS_MAIN(TestAcquisition)
#include "test_acquisition.moc"
