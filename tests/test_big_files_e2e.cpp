// Big acquisition files opened while the switch is on: the output command
// keeps reaching the board at its pace and the clock keeps going, whether
// the read is quick or long. PRAMELOR_HUGE_MB sets the analog file's size
// (20 MB by default; the logic file is half of it).
#include "files/read_progress_widget.h"
#include "support/panel_fixture.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QThread>

using sim::Command;

namespace {

bool writeLines(const QString &path, const QByteArray &line, qint64 bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QByteArray block = line.repeated(qsizetype((1 << 20) / line.size()));
    while (f.size() < bytes)
        if (f.write(block) != block.size()) return false;
    return true;
}

}  // namespace

class TestBigFilesE2e : public QObject {
    Q_OBJECT
    panel::Bench b;
    QString chosen;

    // The longest wait between two output commands the board received while
    // [from, to] (board time) was going on.
    qint64 longestGap(qint64 from, qint64 to) const
    {
        qint64 longest = 0, previous = -1;
        for (const sim::Received &r : b.of(Command::Output)) {
            if (previous >= 0 && r.tMs >= from && previous <= to) longest = std::max(longest, r.tMs - previous);
            previous = r.tMs;
        }
        return longest;
    }

private slots:
    void init()
    {
        QVERIFY(b.open(1, [this](Form1::Setup &s) { s.askPath = [this](bool, const QString &) { return chosen; }; }));
        const qint64 mb = panel::lengthFromEnv("PRAMELOR_HUGE_MB", 20);
        chosen = b.dir.filePath(QStringLiteral("grand.txt"));
        QVERIFY(writeLines(chosen, "12.5:0.:3.14:100.:7.25:255.:1.:2.\r\n", mb << 20));
        QVERIFY(writeLines(b.dir.filePath(QStringLiteral("grand.txl")), " 1 \r\n", mb << 19));
        b.click(QStringLiteral("Image2"));
        QTRY_VERIFY_WITH_TIMEOUT(b.board->count(Command::Output) >= 2, 5000);
    }
    void cleanup() { b.close(); }

    void outputsFlowWhileABigFileIsRead_data()
    {
        QTest::addColumn<int>("pieceMs");  // reading held back this long a piece; 0: through the menu
        QTest::newRow("through the menu") << 0;
        QTest::newRow("a slow disk") << 15;
    }
    void outputsFlowWhileABigFileIsRead()
    {
        QFETCH(int, pieceMs);
        // The period of the output command, and a loose allowance on top.
        const qint64 allowed = 800 + (qEnvironmentVariableIsEmpty("PRAMELOR_SANITIZED") ? 200 : 600);
        auto *clock = b.child<QLabel>(QStringLiteral("Label18"));
        QStringList shown;
        const auto watch = connect(b.form->findChild<QTimer *>(QStringLiteral("Timer3")), &QTimer::timeout, this,
                                   [&] { shown << clock->text(); });
        const qint64 from = b.board->nowMs();
        QElapsedTimer took;
        took.start();
        if (pieceMs == 0) {
            b.form->findChild<QAction *>(QStringLiteral("n_ouvrir"))->trigger();
            QVERIFY2(b.form->statusText().startsWith(QStringLiteral("Tableaux lus")), qPrintable(b.form->statusText()));
            QCOMPARE(b.form->tables().tab_ana(3, 1000).asNumber(), 3.14);
            QCOMPARE(b.form->tables().tab_log[8007].asNumber(), 1.0);
        } else {
            files::WaitOptions slow;
            slow.eachPiece = [pieceMs] { QThread::msleep(ulong(pieceMs)); };
            const files::AcquisitionRead read = files::readAcquisitionsWaiting(b.form.get(), chosen, slow);
            QVERIFY(read.reachedEnd && read.logicRead);
        }
        const qint64 to = b.board->nowMs();
        const qint64 readMs = took.elapsed();
        disconnect(watch);
        QTest::qWait(int(allowed));  // the command after the read arrives too
        qInfo("read in %lld ms; longest wait between output commands meanwhile: %lld ms", readMs, longestGap(from, to));
        QCOMPARE_LE(longestGap(from, to), allowed);
        if (readMs > 1500) QVERIFY2(shown.size() >= 2, qPrintable(shown.join(u' ')));  // the clock went on
    }
};

QTEST_MAIN(TestBigFilesE2e)
#include "test_big_files_e2e.moc"
