#include "service/bench_service.h"

#include "acquisition/schedule.h"
#include "acquisition/tables.h"
#include "engine/frame_engine.h"
#include "engine/journal_recorder.h"
#include "link/protocol.h"
#include "link/serial_component.h"
#include "service/end_signals.h"
#include "service/frame_settings.h"
#include "service/notify.h"
#include "service/service_log.h"
#include "text/clock.h"

#include <QDir>
#include <QTimer>
#include <csignal>
#include <cstring>

namespace service {

QString outputsText(const std::array<bool, 8> &states)
{
    QString bits;
    int byte = 0;
    for (size_t i = 0; i < 8; ++i) {
        bits += states[i] ? u'1' : u'0';
        if (states[i]) byte |= 1 << i;
    }
    return QStringLiteral("%1 (0x%2)").arg(bits).arg(byte, 2, 16, QLatin1Char('0'));
}

BenchService::BenchService(const Clock &clock, BenchFile file, bool verbose, QObject *parent, bool lineThread)
    : QObject(parent), file_(std::move(file)), verbose_(verbose)
{
    bench_ = new Bench(clock, this, lineThread);
    recorder_ = new JournalRecorder(this);
    bench_->setJournalRunning([this] { return recorder_->running(); });
    connect(recorder_, &JournalRecorder::stopped, this, [](const QString &why) { say(Priority::Error, why); });
    for (FrameEngine *frame : {&bench_->analog(), &bench_->logic()}) {
        connect(frame, &FrameEngine::valuesDecoded, recorder_, &JournalRecorder::record);
        connect(frame, &FrameEngine::statusChanged, this, [](const QString &said) {
            if (!said.isEmpty()) say(Priority::Notice, said);
        });
        connect(frame, &FrameEngine::valuesDecoded, this, [this](const acquisition::Acquired &a) {
            if (!verbose_) return;
            QStringList values(a.values.begin(), a.values.end());
            say(Priority::Debug,
                QStringLiteral("acquisition %1 : %2")
                    .arg(a.channel == Channel::Analog ? QStringLiteral("analogique") : QStringLiteral("logique"),
                         values.join(u' ')));
        });
    }
    bench_->serial().setDevicePath(file_.device);
    bench_->setTimetable(file_.timetable());
    connect(bench_, &Bench::statusChanged, this, &BenchService::onStatus);
    connect(&bench_->serial(), &SerialComponent::opened, this, [this](const QString &device) {
        // Closed and opened again in the ordinary course ("Sorties à 0", the
        // shutdown): said only in detail; after a failure: said.
        if (!port_opened_once_)
            say(Priority::Notice, QStringLiteral("port %1 ouvert").arg(device));
        else if (port_failed_)
            say(Priority::Notice, QStringLiteral("port %1 de nouveau ouvert").arg(device));
        else if (verbose_)
            say(Priority::Debug, QStringLiteral("port %1 rouvert").arg(device));
        port_opened_once_ = true;
        port_failed_ = false;
    });
    connect(bench_, &Bench::switchChanged, this, [](bool on) {
        say(Priority::Notice,
            on ? QStringLiteral("interrupteur général en marche") : QStringLiteral("interrupteur général à l'arrêt"));
    });
    connect(bench_, &Bench::outputsChanged, this,
            [this] { say(Priority::Info, QStringLiteral("sorties : %1").arg(outputsText(bench_->outputStates()))); });
    connect(bench_, &Bench::requestSent, this, [this](Channel c) {
        if (verbose_)
            say(Priority::Debug, c == Channel::Analog ? QStringLiteral("demande analogique envoyée")
                                                      : QStringLiteral("demande logique envoyée"));
    });

    shutdown_wait_ = new QTimer(this);
    shutdown_wait_->setTimerType(Qt::PreciseTimer);
    shutdown_wait_->setSingleShot(true);
    shutdown_wait_->setInterval(1000);
    connect(shutdown_wait_, &QTimer::timeout, this, &BenchService::finish);

    // The watchdog is fed from this event loop: should it freeze, the
    // service manager kills the service and its ExecStopPost= switches off.
    if (const qint64 ms = notify::watchdogMs(); ms > 0) {
        watchdog_ = new QTimer(this);
        watchdog_->setInterval(int(std::max<qint64>(ms / 3, 100)));
        connect(watchdog_, &QTimer::timeout, this, [] { notify::watchdog(); });
        watchdog_->start();
    }
}

void BenchService::onStatus(const QString &message)
{
    if (message.isEmpty()) return;  // opened() says it
    port_failed_ = true;
    say(Priority::Error, message);
}

void BenchService::start()
{
    say(Priority::Info, QStringLiteral("pramelord %1 (Qt %2) : banc « %3 », fichier « %4 »")
                            .arg(QLatin1String(PRAMELOR_VERSION), QLatin1String(qVersion()), file_.settings.name,
                                 QDir::toNativeSeparators(file_.path)));
    if (!file_.parametersPath.isEmpty())
        say(Priority::Info, QStringLiteral("réglages de « %1 »").arg(file_.parametersPath));
    applyAcquisitions(file_, nullptr);
    // Opened at once, so that the port is this bench's from the start and
    // a failure is said before the service counts as ready.
    const bool open = bench_->serial().open();
    if (file_.settings.marche) bench_->flipSwitch();
    notify::ready(open ? QStringLiteral("port %1 ouvert").arg(file_.device)
                       : QStringLiteral("port %1 indisponible : %2").arg(file_.device, bench_->serial().lastError()));
}

bool BenchService::reload()
{
    if (bench_->shuttingDown() || ended_) return false;
    notify::reloading();
    BenchFile next = readBenchFile(file_.path);
    if (!next.ok()) {
        say(Priority::Error, QStringLiteral("« %1 » relu mais refusé, le banc continue sans changement : %2")
                                 .arg(QDir::toNativeSeparators(file_.path), next.errors.join(QStringLiteral(" ; "))));
        notify::ready(QStringLiteral("fichier de banc refusé, banc inchangé"));
        return false;
    }
    if (next.device != file_.device)
        say(Priority::Warning, QStringLiteral("le port passe de %1 à %2 au prochain démarrage seulement (la ligne "
                                              "reste ouverte)")
                                   .arg(file_.device, next.device));
    next.device = file_.device;
    const bool switchChanged = next.settings.marche != file_.settings.marche;
    const BenchFile previous = std::exchange(file_, std::move(next));
    bench_->setTimetable(file_.timetable());
    say(Priority::Notice,
        QStringLiteral("« %1 » relu : horaire et réglages appliqués").arg(QDir::toNativeSeparators(file_.path)));
    if (switchChanged && bench_->switchedOn() != file_.settings.marche) bench_->flipSwitch();
    applyAcquisitions(file_, &previous);
    notify::ready(QStringLiteral("fichier de banc relu"));
    return true;
}

// param.ini's settings for the acquisitions, as the window's start reads
// them: a setting the file lacks keeps the engine's start-up value.
void BenchService::applyParameters(const files::Configuration &c)
{
    FrameEngine &a = bench_->analog(), &l = bench_->logic();
    for (int k = 1; k <= 8; ++k) {
        const QString n = QString::number(k);
        if (c.has(QStringLiteral("u_ana") + n)) a.setUnit(k, c.u_ana[size_t(k - 1)]);
        if (c.has(QStringLiteral("coeff") + n)) a.setCoefficient(k, files::coefficientSetting(c.coeff[size_t(k - 1)]));
    }
    const int analogDays = int(acquisition::analogDayEntries().size()),
              logicDays = int(acquisition::logicDayEntries().size());
    if (c.has(QStringLiteral("ana_j8")))
        if (const auto day = files::wholeSetting(c.ana_j, -1, analogDays - 1)) a.setDayIndex(*day);
    if (c.has(QStringLiteral("ana_h8"))) a.setHourText(c.ana_h);
    if (c.has(QStringLiteral("log_j8")))
        if (const auto day = files::wholeSetting(c.log_j, -1, logicDays - 1)) l.setDayIndex(*day);
    if (c.has(QStringLiteral("log_h8"))) l.setHourText(c.log_h);
    if (c.has(QStringLiteral("nbre_acqui")))
        if (const auto n = files::wholeSetting(c.nbre_acqui, Tables::kMinAcqui, Tables::kMaxAcqui))
            bench_->tables().nbre_acqui = *n;
}

void BenchService::applyAcquisitions(const BenchFile &file, const BenchFile *previous)
{
    const BenchSettings &s = file.settings;
    applyParameters(file.configuration);  // unchanged settings change nothing
    if (!previous || previous->settings.analog != s.analog) applyFrameSettings(bench_->analog(), s.analog);
    if (!previous || previous->settings.logic != s.logic) applyFrameSettings(bench_->logic(), s.logic);
    say(Priority::Info, QStringLiteral("acquisitions : analogique %1, logique %2")
                            .arg(modeName(s.analog.mode), modeName(s.logic.mode)));
    if (previous && previous->journalPath == file.journalPath && recorder_->running()) return;
    if (recorder_->running()) {
        if (const auto closed = recorder_->stop())
            say(Priority::Notice,
                QStringLiteral("journal « %1 » fermé (%2 lignes)").arg(closed->path).arg(closed->lines));
    }
    if (file.journalPath.isEmpty()) return;
    if (recorder_->start(file.journalPath, bench_->analog().units()))
        say(Priority::Notice, QStringLiteral("journal « %1 » commencé").arg(file.journalPath));
}

void BenchService::beginShutdown(int signal)
{
    if (bench_->shuttingDown() || ended_) return;
    notify::stopping();
    say(Priority::Notice, signal ? QStringLiteral("signal SIG%1 reçu : arrêt").arg(QLatin1String(sigabbrev_np(signal)))
                                 : QStringLiteral("arrêt"));
    bench_->beginShutdown();
    if (!bench_->allOffDue()) {
        finish();
        return;
    }
    say(Priority::Info, QStringLiteral("sorties à 0, commande tout-éteint pendant 1 s"));
    shutdown_wait_->start();
}

void BenchService::finish()
{
    if (ended_) return;
    const bool due = bench_->allOffDue();
    bench_->finish();
    ended_ = true;
    EndSignals::ended();
    if (!due)
        say(Priority::Notice, QStringLiteral("aucun relais n'était allumé, port fermé ; fin"));
    else if (bench_->lastWritten() == board::outputCommand(0))
        say(Priority::Notice, QStringLiteral("commande tout-éteint 6E 00 envoyée en dernier, port fermé ; fin"));
    else
        say(Priority::Error,
            QStringLiteral("commande tout-éteint non envoyée (%1) ; fin").arg(bench_->serial().lastError()));
    if (const auto closed = recorder_->stop())
        say(Priority::Notice, QStringLiteral("journal « %1 » fermé (%2 lignes)").arg(closed->path).arg(closed->lines));
    emit ended();
}

}  // namespace service
