// A port name that leads to something other than a serial port, or to
// nothing: the status line says what it is, in French, never the serial
// library's English text.
#include "link/serial_component.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

class TestPortErrors : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void cleanup() { qunsetenv("PRAMELOR_COM2"); }

    void notAPort_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        const QString not_ = QStringLiteral("ce n'est pas un port série");
        for (auto [kind, what] : {std::pair{"folder", " (c'est un dossier)"},
                                  {"file", " (c'est un fichier)"},
                                  {"fifo", " (c'est un tube nommé)"},
                                  {"null", ""}})
            QTest::newRow(kind) << QString::fromLatin1(kind) << not_ + QString::fromUtf8(what);
        QTest::newRow("missing") << "missing"
                                 << QStringLiteral("port absent — vérifiez le câble ou la variable PRAMELOR_COM2");
    }
    void notAPort()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QString device = dir.filePath(kind);
        if (kind == u"folder") QDir().mkpath(device);
        if (kind == u"file") QVERIFY(QFile(device).open(QIODevice::WriteOnly));
        if (kind == u"fifo") QCOMPARE(mkfifo(QFile::encodeName(device).constData(), 0600), 0);
        if (kind == u"null") device = QStringLiteral("/dev/null");
        qputenv("PRAMELOR_COM2", QFile::encodeName(device));

        SerialComponent port;
        port.setPortNumber(2);
        QStringList said;
        connect(&port, &SerialComponent::statusChanged, this, [&](const QString &m) { said << m; });
        QVERIFY(!port.open());
        QVERIFY(!port.isOpen());
        QCOMPARE(port.lastError(), QStringLiteral("COM2 (%1) : %2").arg(device, reason));
        QCOMPARE(said, QStringList{port.lastError()});
        QVERIFY(!port.open());
        QCOMPARE(said.size(), 1);  // said once, not at every retry
    }
};

QTEST_GUILESS_MAIN(TestPortErrors)
#include "test_port_errors.moc"
