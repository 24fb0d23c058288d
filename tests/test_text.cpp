// The number and time rules every part of the panel shares.
#include "text/clock.h"
#include "text/numbers.h"

#include <QLocale>
#include <QTest>
#include <cmath>
#include <limits>

class TestText : public QObject {
    Q_OBJECT
    // The row's value written as "point" says under a point locale, and
    // with a comma for the point under a French one.
    template <class Write>
    void underBothSeparators(Write write)
    {
        QFETCH(double, value);
        QFETCH(QString, point);
        QCOMPARE(write(value), point);
        QLocale::setDefault(QLocale(QLocale::French));
        QCOMPARE(write(value), QString(point).replace(u'.', u','));
    }

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("decimal") << "12.5" << 12.5;
        QTest::newRow("trailing point") << "100." << 100.0;
        QTest::newRow("comma ends") << "12,5" << 12.0;
        QTest::newRow("blanks inside") << " 3 5" << 35.0;
        QTest::newRow("carriage return stops") << "5\r7" << 5.0;
        QTest::newRow("minus") << "-1" << -1.0;
        QTest::newRow("sign after blanks") << "  - 2.5" << -2.5;
        QTest::newRow("second sign") << "--1" << 0.0;
        QTest::newRow("exponent") << "1.5e2" << 150.0;
        QTest::newRow("exponent D") << "2D3" << 2000.0;
        QTest::newRow("bare exponent mark") << "7e" << 7.0;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("text after") << "1.5x" << 1.5;
        QTest::newRow("only sign") << "-" << 0.0;
        QTest::newRow("marker text") << ":100s2" << 0.0;
        QTest::newRow("many digits") << QString(300, u'9') << 1e300;
        QTest::newRow("long zeros") << "0.000000000000000000000000000000000000000000000000001" << 1e-51;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        const double got = text::leadingNumber(text);
        QVERIFY2(std::fabs(got - value) <= std::fabs(value) * 1e-12, qPrintable(QString::number(got, 'g', 17)));
    }

    void leadingNumberIsLocaleFree()
    {
        QLocale::setDefault(QLocale(QLocale::French));
        QCOMPARE(text::leadingNumber(u"12.5"), 12.5);
        QCOMPARE(text::leadingNumber(u"12,5"), 12.0);
    }

    void hugeExponentsStayFinite()
    {
        QVERIFY(std::isinf(text::leadingNumber(u"1e999999999")));
        QCOMPARE(text::leadingNumber(u"1e-999999999"), 0.0);
        // Just beyond the largest double is beyond it too, not 0.
        QVERIFY(std::isinf(text::leadingNumber(u"1.79769313486232e308")));
        QVERIFY(std::isinf(text::leadingNumber(u"-1.8e308")));
        QCOMPARE(text::leadingNumber(u"1.7976931348623157e308"), std::numeric_limits<double>::max());
    }

    void anyPoint_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("point") << "0.5" << 0.5;
        QTest::newRow("comma") << "0,5" << 0.5;
        QTest::newRow("comma first") << "1,5.2" << 1.5;
        QTest::newRow("point first") << "1.5,2" << 1.5;
        QTest::newRow("no number") << "abc" << 0.0;
    }
    void anyPoint()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(text::leadingNumberAnyPoint(text), value);
    }

    void parseAnyPointNeedsWholeText()
    {
        QCOMPARE(text::parseAnyPoint(u" 0,5 ").value_or(-1), 0.5);
        QVERIFY(!text::parseAnyPoint(u"1.5x"));
        QVERIFY(!text::parseAnyPoint(u""));
        QVERIFY(!text::parseAnyPoint(u"abc"));
        QVERIFY(!text::parseAnyPoint(u"1e999"));  // infinite: no number to use
    }

    // The reading a character at a time gives what the whole text gives,
    // and stops where the number ends.
    void numberReaderStreams_data() { leadingNumber_data(); }
    void numberReaderStreams()
    {
        QFETCH(QString, text);
        for (bool anyPoint : {false, true}) {
            text::NumberReader reader(anyPoint);
            qsizetype fed = 0;
            for (QChar c : text) {
                if (!reader.take(c.unicode())) break;
                ++fed;
            }
            const double whole = anyPoint ? text::leadingNumberAnyPoint(text) : text::leadingNumber(text);
            QCOMPARE(reader.result().value_or(0.0), whole);
            QVERIFY(reader.consumed() <= fed);
            if (fed < text.size()) QVERIFY(reader.ended() && !reader.take(u'5'));  // nothing more once ended
        }
    }

    // The largest doubles are written so that they read back as themselves.
    void largestDoublesReadBack_data()
    {
        QTest::addColumn<double>("value");
        QTest::newRow("largest") << std::numeric_limits<double>::max();
        QTest::newRow("largest negative") << -std::numeric_limits<double>::max();
        QTest::newRow("just below") << 1.7976931348623153e308;
        QTest::newRow("fifteen digits still fit") << 1.79769313486231e308;
    }
    void largestDoublesReadBack()
    {
        QFETCH(double, value);
        for (QStringView sep : {QStringView(u"."), QStringView(u",")}) {
            const auto back = text::readRegional(text::plainNumber(value, sep), sep);
            QVERIFY2(back, qPrintable(text::plainNumber(value, sep)));
            QCOMPARE(*back, value);
        }
    }

    void toInt16_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");  // 99999: out of range
        QTest::newRow("half to even down") << 2.5 << 2;
        QTest::newRow("half to even up") << 3.5 << 4;
        QTest::newRow("negative half") << -2.5 << -2;
        QTest::newRow("max") << 32767.0 << 32767;
        QTest::newRow("min") << -32768.0 << -32768;
        QTest::newRow("above") << 32767.5 << 99999;  // rounds to 32768
        QTest::newRow("below") << -32768.6 << 99999;
        QTest::newRow("nan") << std::nan("") << 99999;
        QTest::newRow("inf") << HUGE_VAL << 99999;
    }
    void toInt16()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        const auto got = text::toInt16(value);
        if (expected == 99999)
            QVERIFY(!got);
        else
            QCOMPARE(int(got.value_or(-1)), expected);
    }

    void twoDecimals_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("point");  // written with "."; checked with "," too
        QTest::newRow("rounds") << 2.346 << "2.35";
        QTest::newRow("whole keeps separator") << 5.0 << "5.";
        QTest::newRow("half cent up") << 2.345 << "2.35";
        QTest::newRow("below half cent") << 0.004 << "0.";
        QTest::newRow("carry") << 9.999 << "10.";
        QTest::newRow("negative") << -2.346 << "-2.35";
        QTest::newRow("negative tiny is zero") << -0.001 << "0.";
        QTest::newRow("very large") << 1e20 << "100000000000000000000.";
    }
    void twoDecimals()
    {
        underBothSeparators([](double v) { return text::twoDecimals(v); });
    }

    void plainNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("point");
        QTest::newRow("whole") << 254.0 << "254";
        QTest::newRow("negative") << -3.25 << "-3.25";
        QTest::newRow("no group separator") << 1234567.0 << "1234567";
    }
    void plainNumber()
    {
        underBothSeparators([](double v) { return text::plainNumber(v); });
    }

    void readRegional_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");  // NaN: no number
        const double none = std::nan("");
        const auto row = [](const char *name, const char *locale, const char *text, double value) {
            QTest::newRow(name) << QString::fromLatin1(locale) << QString::fromLatin1(text) << value;
        };
        row("point decimal", "C", "127.5", 127.5);
        row("point rejects comma", "C", "0,5", none);
        row("comma decimal", "fr", "0,5", 0.5);
        row("comma trailing", "fr", "5,", 5.0);
        row("comma rejects point", "fr", "0.5", none);
        row("blanks around", "C", " 2 ", 2.0);
        row("empty", "C", "", none);
        row("trailing letters", "C", "1.5x", none);
        row("negative", "fr", "-1,25", -1.25);
        row("beyond a double", "C", "1e400", none);
    }
    void readRegional()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(double, value);
        QLocale::setDefault(locale == "fr" ? QLocale(QLocale::French) : QLocale::c());
        const auto got = text::readRegional(text);
        if (std::isnan(value))
            QVERIFY(!got);
        else
            QCOMPARE(got.value_or(-999), value);
    }

    void timeText_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("leading zeros") << QTime(7, 5, 0) << "07:05:00";
        QTest::newRow("milliseconds dropped") << QTime(23, 59, 59, 999) << "23:59:59";
    }
    void timeText()
    {
        QFETCH(QTime, time);
        QFETCH(QString, text);
        QCOMPARE(text::timeText(time), text);
        QLocale::setDefault(QLocale(QLocale::Arabic));
        QCOMPARE(text::timeText(time), text);
    }
};

QTEST_APPLESS_MAIN(TestText)
#include "test_text.moc"
