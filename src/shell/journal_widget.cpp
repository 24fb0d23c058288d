#include "shell/journal_widget.h"

#include "acquisition/tables.h"
#include "engine/frame_engine.h"
#include "engine/journal_recorder.h"
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
#include <memory>

namespace {

QString fileName(const QString &path) { return QFileInfo(path).fileName(); }

QString lineCount(qint64 n) { return QStringLiteral("%1 %2").arg(n).arg(n > 1 ? u"lignes" : u"ligne"); }

}  // namespace

JournalPanel::JournalPanel(QMainWindow *window, JournalRecorder &recorder, Tables &tables, AskPath askPath,
                           QString settingsFile)
    : QObject(window), window_(window), recorder_(recorder), tables_(tables), ask_(std::move(askPath)),
      settings_file_(std::move(settingsFile))
{
    setObjectName(QStringLiteral("journal"));
    connect(&recorder_, &JournalRecorder::linesChanged, this, &JournalPanel::showCount);
    connect(&recorder_, &JournalRecorder::renamed, this, &JournalPanel::renamed);
    connect(&recorder_, &JournalRecorder::stopped, this, &JournalPanel::stopped);
}

bool JournalPanel::running() const { return recorder_.running(); }

qint64 JournalPanel::lines() const { return recorder_.lines(); }

void JournalPanel::sync_Timer() { recorder_.sync_Timer(); }

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
    o.follow = running() && QFileInfo(path).absoluteFilePath() == QFileInfo(recorder_.path()).absoluteFilePath();
    (new viewer::JournalViewer(window_, path, o))->show();
}

void JournalPanel::follow(FrameEngine &analog, FrameEngine &logic)
{
    analog_ = &analog;
    connect(&analog, &FrameEngine::valuesDecoded, &recorder_, &JournalRecorder::record);
    connect(&logic, &FrameEngine::valuesDecoded, &recorder_, &JournalRecorder::record);
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
    startAt(askFor(true));
}

void JournalPanel::startAt(const QString &path)
{
    if (path.isEmpty() || recorder_.running()) return;
    files::Units units;
    for (int k = 1; k <= 8; ++k) units[size_t(k - 1)] = analog_ ? analog_->unit(k) : QStringLiteral("V");
    if (!recorder_.start(path, units)) return;
    QSettings(settings_file_, QSettings::IniFormat).setValue(QLatin1String(kLastPathKey), path);
    n_journal_->setChecked(true);
    indicator_->show();
    emit statusChanged(QStringLiteral("Journal continu « %1 » : chaque acquisition y est ajoutée").arg(fileName(path)));
}

void JournalPanel::stop()
{
    const std::optional<JournalRecorder::Closed> closed = recorder_.stop();
    if (!closed) return;
    indicator_->hide();
    n_journal_->setChecked(false);
    emit statusChanged(
        QStringLiteral("Journal continu « %1 » fermé (%2)").arg(fileName(closed->path), lineCount(closed->lines)));
}

// The journal stopped; the acquisitions, the tables and the relays go on.
void JournalPanel::stopped(const QString &why)
{
    if (indicator_) indicator_->hide();
    n_journal_->setChecked(false);
    emit statusChanged(why);
    if (!message_) {
        message_ =
            new QMessageBox(QMessageBox::Warning, QStringLiteral("Journal continu"), why, QMessageBox::Ok, window_);
        message_->setObjectName(QStringLiteral("journalMessage"));
        message_->setAttribute(Qt::WA_DeleteOnClose);
        message_->setModal(false);
    }
    message_->setText(why);
    message_->show();
}

void JournalPanel::renamed(const QString &wasName, const QString &path)
{
    QSettings(settings_file_, QSettings::IniFormat).setValue(QLatin1String(kLastPathKey), path);
    showCount();
    emit statusChanged(QStringLiteral("Journal continu « %1 » renommé en « %2 » : l'enregistrement s'y poursuit")
                           .arg(wasName, fileName(path)));
}

void JournalPanel::showCount()
{
    if (indicator_)
        indicator_->setText(
            QStringLiteral("Journal : %1 — %2").arg(fileName(recorder_.path()), lineCount(recorder_.lines())));
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
