#include "shell/bench_actions.h"

#include "engine/bench.h"
#include "engine/journal_recorder.h"
#include "service/frame_settings.h"
#include "shell/journal_widget.h"
#include "shell/panel_configuration.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

BenchActions::BenchActions(QObject *parent, Bench &bench, PanelConfiguration &configuration, JournalPanel &journal,
                           const JournalRecorder &recorder, QString paramIni, AskPath askPath)
    : QObject(parent), bench_(bench), configuration_(configuration), journal_(journal), recorder_(recorder),
      param_ini_(std::move(paramIni)), ask_(std::move(askPath))
{
}

service::BenchSettings BenchActions::current(const QString &path) const
{
    service::BenchSettings s;
    const QFileInfo file(path);
    const QDir folder = file.absoluteDir();
    // The name is the file's own when it has one, else its base name made fit.
    const service::BenchFile existing = file.exists() ? service::readBenchFile(path) : service::BenchFile{};
    s.name = existing.settings.name;
    if (s.name.isEmpty()) {
        s.name = file.completeBaseName();
        s.name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    }
    const QString device = bench_.devicePath();
    s.port = device.isEmpty() ? QStringLiteral("COM%1").arg(bench_.portNumber()) : device;
    s.parameters = folder.relativeFilePath(param_ini_);
    s.marche = bench_.switchedOn();
    for (size_t i = 0; i < 8; ++i) s.automatic[i] = bench_.timetable()[i].automatic;
    s.analog = service::frameSettingsOf(bench_.analog());
    s.logic = service::frameSettingsOf(bench_.logic());
    if (recorder_.running()) s.journal = folder.relativeFilePath(recorder_.path());
    return s;
}

void BenchActions::save()
{
    const QString path = ask_(true, QStringLiteral("banc.ini"));
    if (path.isEmpty()) return;
    // The bench file names the param.ini it runs with: the times, units and
    // coefficients it holds are the window's own, saved with it.
    configuration_.save();
    QString error;
    if (service::writeBenchFile(path, current(path), &error))
        emit status(QStringLiteral("Banc enregistré dans « %1 » ; « pramelord %1 » le fait tourner sans écran")
                        .arg(QDir::toNativeSeparators(path)));
    else
        emit status(error);
}

void BenchActions::open()
{
    const QString path = ask_(false, QStringLiteral("banc.ini"));
    if (path.isEmpty()) return;
    const service::BenchFile file = service::readBenchFile(path);
    if (!file.ok()) {
        // Nothing of a wrong file is taken; its first fault is said.
        const qsizetype more = file.errors.size() - 1;
        emit status(QStringLiteral("Banc refusé : %1%2")
                        .arg(file.errors.first(),
                             more > 0 ? QStringLiteral(" (et %1 autre(s) erreur(s))").arg(more) : QString()));
        return;
    }
    apply(file);
    emit status(QStringLiteral("Banc « %1 » ouvert").arg(file.settings.name));
}

void BenchActions::apply(const service::BenchFile &file)
{
    const service::BenchSettings &s = file.settings;
    static const QRegularExpression com(QStringLiteral("^COM([1-4])$"));
    if (const QRegularExpressionMatch m = com.match(s.port); m.hasMatch()) {
        bench_.setDevicePath(QString());
        bench_.setPortNumber(m.captured(1).toInt());
    } else if (!s.port.isEmpty()) {
        bench_.setDevicePath(file.device);
    }
    bench_.closePort();  // the next transmission opens the bench's port
    configuration_.applyParts(file.configuration);
    Bench::Timetable rows = bench_.timetable();
    for (size_t i = 0; i < 8; ++i) rows[i].automatic = s.automatic[i];
    bench_.setTimetable(rows);
    service::applyFrameSettings(bench_.analog(), s.analog);
    service::applyFrameSettings(bench_.logic(), s.logic);
    if (!file.journalPath.isEmpty() && !recorder_.running()) journal_.startAt(file.journalPath);
    if (s.marche != bench_.switchedOn()) bench_.flipSwitch();
}
