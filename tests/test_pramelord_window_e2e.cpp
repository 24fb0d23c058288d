// The window and pramelord on one port: whichever comes second is refused
// and told, in French, which program holds the port.
#include "support/panel_fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTest>

class TestPramelordWindowE2e : public QObject {
    Q_OBJECT
    panel::Bench b;

    QString program() const
    {
        const QString p = qEnvironmentVariable("PRAMELORD");
        return p.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/../pramelord") : p;
    }
    QString writeBench()
    {
        const QString path = b.dir.filePath(QStringLiteral("serre.ini"));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write("[banc]\nport=" + b.linkPath().toUtf8() + "\nmarche=1\n");
        return path;
    }

private slots:
    void init() { QVERIFY(b.open()); }
    void cleanup() { b.close(); }

    void windowSecond()
    {
        QProcess d;
        QByteArray err;
        connect(&d, &QProcess::readyReadStandardError, this, [&] { err += d.readAllStandardError(); });
        d.start(program(), {writeBench()});
        QTRY_VERIFY_WITH_TIMEOUT(err.contains("ouvert"), 5000);
        b.click(QStringLiteral("Image2"));
        const QString said =
            QStringLiteral("COM1 (%1) : port occupé par pramelord (processus %2)").arg(b.linkPath()).arg(d.processId());
        QTRY_COMPARE_WITH_TIMEOUT(b.form->statusText(), said, 3000);
        d.terminate();
        QVERIFY(d.waitForFinished(3000));
        // Once pramelord has gone, the window takes the port at its next output command.
        QTRY_COMPARE_WITH_TIMEOUT(b.form->statusText(), QString(), 3000);
        QVERIFY(b.form->MSComm1().isOpen());
    }

    void windowFirst()
    {
        b.click(QStringLiteral("Image2"));
        QTRY_VERIFY_WITH_TIMEOUT(b.form->MSComm1().isOpen(), 3000);
        QProcess d;
        QByteArray err;
        connect(&d, &QProcess::readyReadStandardError, this, [&] { err += d.readAllStandardError(); });
        d.start(program(), {writeBench()});
        QFile comm(QStringLiteral("/proc/self/comm"));
        QVERIFY(comm.open(QIODevice::ReadOnly));
        const QByteArray said = QStringLiteral("<3>%1 : port occupé par %2 (processus %3)")
                                    .arg(b.linkPath(), QString::fromUtf8(comm.readAll()).trimmed())
                                    .arg(QCoreApplication::applicationPid())
                                    .toUtf8();
        QTRY_VERIFY2_WITH_TIMEOUT(err.contains(said), err.constData(), 5000);
        d.terminate();
        QVERIFY(d.waitForFinished(3000));
    }
};

QTEST_MAIN(TestPramelordWindowE2e)
#include "test_pramelord_window_e2e.moc"
