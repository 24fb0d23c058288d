#include "files/read_progress_widget.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <memory>

namespace files {

namespace {

bool reading = false;  // a read is under way (window thread only)

QString megabytes(qint64 bytes) { return QString::number((bytes + (1 << 19)) >> 20); }

}  // namespace

AcquisitionRead readAcquisitionsWaiting(QWidget *window, const QString &path, const WaitOptions &options)
{
    if (reading) {
        AcquisitionRead busy;
        busy.message = QStringLiteral("Une lecture de fichier est déjà en cours : attendez qu'elle se termine");
        return busy;
    }
    reading = true;
    const std::unique_ptr<bool, void (*)(bool *)> done(&reading, [](bool *flag) { *flag = false; });

    ReadControl control;
    control.eachPiece = options.eachPiece;
    AcquisitionRead result;
    const std::unique_ptr<QThread> worker(QThread::create([&] { result = readAcquisitionFiles(path, &control); }));

    // The events of the window run in here until the reading thread ends.
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);

    std::unique_ptr<QProgressDialog> progress;
    const QString name = QFileInfo(path).fileName();
    const auto show = [&] {
        if (!progress) return;
        const qint64 total = control.total.load(), read = control.done.load();
        progress->setLabelText(
            QStringLiteral("Lecture de « %1 » : %2 Mo sur %3 Mo").arg(name, megabytes(read), megabytes(total)));
        progress->setValue(total > 0 ? int(std::min<qint64>(read, total) * 1000 / total) : 0);
    };
    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, &loop, show);
    QTimer later;
    later.setSingleShot(true);
    QObject::connect(&later, &QTimer::timeout, &loop, [&] {
        progress = std::make_unique<QProgressDialog>(window);
        progress->setObjectName(QStringLiteral("lectureEnCours"));
        progress->setWindowTitle(QStringLiteral("Ouvrir graphique"));
        progress->setCancelButtonText(QStringLiteral("Annuler"));
        progress->setRange(0, 1000);
        progress->setAutoClose(false);
        progress->setAutoReset(false);
        progress->setMinimumDuration(0);
        progress->setWindowModality(Qt::WindowModal);
        QObject::connect(progress.get(), &QProgressDialog::canceled, &loop, [&] { control.cancel = true; });
        show();
        progress->show();
        poll.start();
    });

    worker->start();
    later.start(options.progressAfterMs);
    loop.exec();
    if (!worker->isFinished()) {  // the program is ending: give the read up
        control.cancel = true;
        worker->wait();
    }
    later.stop();
    poll.stop();
    progress.reset();
    return result;
}

}  // namespace files
