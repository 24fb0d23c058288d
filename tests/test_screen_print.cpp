// "Imprime écran" with no printer: each print is a PDF of its own, even two
// in the same second, and each message names the file it wrote.
#include "files/screen_print_widget.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class TestScreenPrint : public QObject {
    Q_OBJECT
private slots:
    void sameSecondTwoFiles()
    {
        QTemporaryDir dir;
        QImage image(120, 80, QImage::Format_RGB32);
        image.fill(Qt::green);
        const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9, 250));
        QStringList paths;
        for (int i = 0; i < 3; ++i) {
            const files::PrintOutcome out = files::printImage(image, dir.path(), when, true);
            QVERIFY2(out.done, qPrintable(out.message));
            QVERIFY(out.message.contains(out.pdfPath));
            paths << out.pdfPath;
        }
        QCOMPARE(QFileInfo(paths[0]).fileName(), QStringLiteral("Pramelor écran 2024-03-05 14-07-09.pdf"));
        QCOMPARE(QFileInfo(paths[1]).fileName(), QStringLiteral("Pramelor écran 2024-03-05 14-07-09 (2).pdf"));
        QCOMPARE(QFileInfo(paths[2]).fileName(), QStringLiteral("Pramelor écran 2024-03-05 14-07-09 (3).pdf"));
        for (const QString &p : paths) QVERIFY(QFileInfo(p).size() > 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);
    }
};

QTEST_MAIN(TestScreenPrint)
#include "test_screen_print.moc"
