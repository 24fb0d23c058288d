// The bench service without a process of its own or a board: the timetable
// from the bench file and param.ini at the minute, on the injected clock,
// and SIGHUP's re-reading with a changed and a broken file.
#include "service/bench_service.h"
#include "support/fake_clock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace service;

class TestBenchService : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
        return path;
    }
    QString bench(const QByteArray &relais)
    {
        return write(QStringLiteral("serre.ini"), "[banc]\nport=" + dir.filePath(QStringLiteral("absent")).toUtf8() +
                                                      "\nparametres=param.ini\n[relais]\nauto=" + relais + "\n");
    }

private slots:
    void init()
    {
        write(QStringLiteral("param.ini"), "[heure0]\r\nvaleur=12:00:00\r\n[heure20]\r\nvaleur=12:01:00\r\n"
                                           "[heure1]\r\nvaleur=12:00:00\r\n[heure21]\r\nvaleur=12:00:30\r\n");
    }

    // Output 1 from 12:00:00 to 12:01:00, output 2 (no "Auto") never.
    void timetableAtTheMinute()
    {
        FakeClock clock;
        BenchService s(clock, readBenchFile(bench("1,0,0,0,0,0,0,0")), false);
        const auto at = [&](int h, int m, int sec) {
            clock.set(h, m, sec);
            s.bench().Timer1_Timer();
            return s.bench().outputByte();
        };
        QCOMPARE(at(11, 59, 59), 0);
        QCOMPARE(at(12, 0, 0), 1);
        QCOMPARE(at(12, 0, 30), 1);
        QCOMPARE(at(12, 1, 0), 0);
    }

    void reload()
    {
        FakeClock clock;
        const QString path = bench("1,0,0,0,0,0,0,0");
        BenchService s(clock, readBenchFile(path), false);
        // Changed: output 2 takes part from now on.
        bench("1,1,0,0,0,0,0,0");
        QVERIFY(s.reload());
        clock.set(12, 0, 0);
        s.bench().Timer1_Timer();
        QCOMPARE(s.bench().outputByte(), 3);
        // Broken: refused, the timetable stays as it was.
        bench("1,1,0");
        QVERIFY(!s.reload());
        QVERIFY(s.file().settings.automatic[1]);
        clock.set(12, 0, 30);
        s.bench().Timer1_Timer();
        QCOMPARE(s.bench().outputByte(), 1);
    }
};

QTEST_GUILESS_MAIN(TestBenchService)
#include "test_bench_service.moc"
