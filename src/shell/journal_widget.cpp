#include "shell/journal_widget.h"

#include "acquisition/tables.h"
#include "engine/frame_engine.h"
#include "shell/file_dialog.h"
#include "viewer/journal_viewer_widget.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <memory>

namespace {

QString fileName(const QString &path) { return QFileInfo(path).fileName(); }

constexpr qint64 kCheckEveryMs = 1000;

QString lineCount(qint64 n) { return QStringLiteral("%1 %2").arg(n).arg(n > 1 ? u"lignes" : u"ligne"); }

}  // namespace

JournalPanel::JournalPanel(QMainWindow *window, Tables &tables, AskPath askPath, QString settingsFile)
    : QObject(window), window_(window), tables_(tables), ask_(std::move(askPath)),
      settings_file_(std::move(settingsFile))
{
    setObjectName(QStringLiteral("journal"));
    sync_ = new QTimer(this);
    sync_->setObjectName(QStringLiteral("journalSync"));
    sync_->setSingleShot(true);
    sync_->setTimerType(Qt::PreciseTimer);  // a vanished file is seen within the second
    connect(sync_, &QTimer::timeout, this, &JournalPanel::sync_Timer);
}

JournalPanel::~JournalPanel() = default;

void JournalPanel::addMenuEntries(QMenu *fichier)
{
    n_journal_ = fichier->addAction(QStringLiteral("Journal continu…"));
    n_journal_->setObjectName(QStringLiteral("n_journal"));
    n_journal_->setCheckable(true);
    connect(n_journal_, &QAction::triggered, this, &JournalPanel::n_journal_Click);
    n_ouvrir_journal_ = fichier->addAction(QStringLiteral("Ouvrir un journal…"));
    n_ouvrir_journal_->setObjectName(QStringLiteral("n_ouvrir_journal"));
    connect(n_ouvrir_journal_, &QAction::triggered, this, &JournalPanel::n_ouvrir_journal_Click);
    QAction *parcourir = fichier->addAction(QStringLiteral("Parcourir un journal…"));
    parcourir->setObjectName(QStringLiteral("n_parcourir_journal"));
    connect(parcourir, &QAction::triggered, this, &JournalPanel::n_parcourir_journal_Click);
}

void JournalPanel::n_parcourir_journal_Click()
{
    const QString path = askFor(false);
    if (path.isEmpty()) return;
    viewer::JournalViewer::Options o;
    o.askPath = ask_;
    o.settingsFile = settings_file_;
    // The journal being written is followed from the start.
    o.follow = running() && QFileInfo(path).absoluteFilePath() == QFileInfo(writer_.path()).absoluteFilePath();
    (new viewer::JournalViewer(window_, path, o))->show();
}

void JournalPanel::follow(FrameEngine &analog, FrameEngine &logic)
{
    analog_ = &analog;
    connect(&analog, &FrameEngine::valuesDecoded, this, &JournalPanel::record);
    connect(&logic, &FrameEngine::valuesDecoded, this, &JournalPanel::record);
    indicator_ = new QLabel(window_);
    indicator_->setObjectName(QStringLiteral("journalStatus"));
    window_->statusBar()->addPermanentWidget(indicator_);
    indicator_->hide();
}

QString JournalPanel::lastPath() const
{
    return QSettings(settings_file_, QSettings::IniFormat).value(QLatin1String(kLastPathKey)).toString();
}

// A journal may be new or go on: choosing an existing file asks nothing.
QString JournalPanel::askFor(bool save)
{
    QString start = lastPath();
    if (start.isEmpty()) start = QStringLiteral("journal.csv");
    if (ask_) return ask_(save, start);
    // The panel's French dialog; a journal may go on, so no overwrite question.
    std::unique_ptr<QFileDialog> dialog(makeFileDialog(window_, save, start, QFileInfo(start).absolutePath()));
    dialog->setWindowTitle(save ? QStringLiteral("Journal continu") : QStringLiteral("Ouvrir un journal"));
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().constFirst();
}

void JournalPanel::n_journal_Click(bool checked)
{
    if (checked)
        start();
    else
        stop();
}

void JournalPanel::start()
{
    n_journal_->setChecked(false);  // ticked once the journal is open
    const QString path = askFor(true);
    if (path.isEmpty()) return;
    files::Units units;
    for (int k = 1; k <= 8; ++k) units[size_t(k - 1)] = analog_ ? analog_->unit(k) : QStringLiteral("V");
    QString error;
    if (!writer_.open(path, units, &error)) return failed(error);
    QSettings(settings_file_, QSettings::IniFormat).setValue(QLatin1String(kLastPathKey), path);
    n_journal_->setChecked(true);
    showCount();
    indicator_->show();
    emit statusChanged(QStringLiteral("Journal continu « %1 » : chaque acquisition y est ajoutée").arg(fileName(path)));
    scheduleSync();
}

void JournalPanel::stop()
{
    if (!writer_.isOpen() || !inPlace()) return;
    const QString path = writer_.path();
    const qint64 lines = writer_.lines();
    writer_.close();
    sync_->stop();
    indicator_->hide();
    n_journal_->setChecked(false);
    emit statusChanged(QStringLiteral("Journal continu « %1 » fermé (%2)").arg(fileName(path), lineCount(lines)));
}

// The journal stops; the acquisitions, the tables and the relays go on.
void JournalPanel::failed(const QString &why)
{
    writer_.close();
    sync_->stop();
    if (indicator_) indicator_->hide();
    n_journal_->setChecked(false);
    const QString said = QStringLiteral("Journal continu arrêté. %1").arg(why);
    emit statusChanged(said);
    if (!message_) {
        message_ =
            new QMessageBox(QMessageBox::Warning, QStringLiteral("Journal continu"), said, QMessageBox::Ok, window_);
        message_->setObjectName(QStringLiteral("journalMessage"));
        message_->setAttribute(Qt::WA_DeleteOnClose);
        message_->setModal(false);
    }
    message_->setText(said);
    message_->show();
}

void JournalPanel::record(const acquisition::Acquired &a)
{
    if (!writer_.isOpen() || !a.answered) return;  // no reply: no line, the gap stays visible
    QString error;
    if (!writer_.append(a, &error)) return failed(error);
    showCount();
    scheduleSync();
}

void JournalPanel::showCount()
{
    if (indicator_)
        indicator_->setText(
            QStringLiteral("Journal : %1 — %2").arg(fileName(writer_.path()), lineCount(writer_.lines())));
}

// While the journal is open the timer runs at least once a second: it flushes
// the lines waiting and makes sure the file is still where it was chosen.
void JournalPanel::scheduleSync()
{
    if (!writer_.isOpen() || sync_->isActive()) return;
    const qint64 ms = writer_.msUntilSync();
    sync_->start(int(ms >= 0 ? std::min(ms, kCheckEveryMs) : kCheckEveryMs));
}

void JournalPanel::sync_Timer()
{
    if (!writer_.isOpen() || !inPlace()) return;
    QString error;
    if (!writer_.syncIfDue(&error)) return failed(error);
    scheduleSync();
}

// False when the journal had to stop because its file is gone.
bool JournalPanel::inPlace()
{
    const QString was = fileName(writer_.path());
    const qint64 unchecked = writer_.linesSinceCheck();
    switch (writer_.checkPlace()) {
    case files::JournalWriter::Place::Same:
        return true;
    case files::JournalWriter::Place::Renamed:
        QSettings(settings_file_, QSettings::IniFormat).setValue(QLatin1String(kLastPathKey), writer_.path());
        showCount();
        emit statusChanged(QStringLiteral("Journal continu « %1 » renommé en « %2 » : l'enregistrement s'y poursuit")
                               .arg(was, fileName(writer_.path())));
        return true;
    case files::JournalWriter::Place::Moved:
        failed(QStringLiteral("Le fichier du journal « %1 » a été déplacé vers « %2 » : ses lignes y sont, "
                              "mais il n'est plus là où il a été choisi.")
                   .arg(was, QDir::toNativeSeparators(writer_.movedTo())));
        return false;
    case files::JournalWriter::Place::Lost:
        break;
    }
    const QString lost =
        unchecked == 0 ? QStringLiteral("aucune ligne n'a été écrite depuis la dernière vérification")
        : unchecked == 1
            ? QStringLiteral("1 ligne écrite depuis la dernière vérification est perdue")
            : QStringLiteral("%1 lignes écrites depuis la dernière vérification sont perdues").arg(unchecked);
    failed(QStringLiteral("Le fichier du journal « %1 » a été supprimé ou déplacé : %2.").arg(was, lost));
    return false;
}

void JournalPanel::n_ouvrir_journal_Click()
{
    const QString path = askFor(false);
    if (path.isEmpty()) return;
    Tables &t = tables_;
    // Shown only when the reading takes more than a second.
    QProgressDialog progress(QStringLiteral("Lecture du journal « %1 »…").arg(fileName(path)),
                             QStringLiteral("Annuler"), 0, 1000, window_);
    progress.setObjectName(QStringLiteral("journalProgress"));
    progress.setWindowTitle(QStringLiteral("Ouvrir un journal"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(1000);
    const files::JournalTail tail =
        files::readJournalTail(path, t.nbre_acqui + 1, [&progress](qint64 done, qint64 total) {
            progress.setValue(total > 0 ? int(done * 1000 / total) : 1000);
            return !progress.wasCanceled();
        });
    progress.reset();
    if (!tail.opened || tail.cancelled) {
        emit statusChanged(
            tail.opened ? QStringLiteral("Lecture du journal « %1 » annulée : tableaux inchangés").arg(fileName(path))
                        : tail.error);
        return;
    }
    files::loadJournalTail(tail, t);
    emit tablesLoaded();
    const qsizetype analog = qsizetype(tail.analog.size()), logic = qsizetype(tail.logic.size());
    QString said = QStringLiteral("Journal « %1 » : %2 %3 et %4 %5 chargées")
                       .arg(fileName(path))
                       .arg(analog)
                       .arg(analog > 1 ? u"acquisitions analogiques" : u"acquisition analogique")
                       .arg(logic)
                       .arg(logic > 1 ? u"logiques" : u"logique");
    if (tail.damaged > 0) said += QStringLiteral(" ; %1 ligne(s) illisible(s) passée(s)").arg(tail.damaged);
    if (tail.halfLine) said += QStringLiteral(" ; dernière ligne incomplète ignorée");
    emit statusChanged(said);
}
