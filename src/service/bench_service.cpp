#include "service/bench_service.h"

#include "link/protocol.h"
#include "link/serial_component.h"
#include "service/end_signals.h"
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

BenchService::BenchService(const Clock &clock, BenchFile file, bool verbose, QObject *parent)
    : QObject(parent), file_(std::move(file)), verbose_(verbose)
{
    bench_ = new Bench(clock, this);
    bench_->serial().setDevicePath(file_.device);
    bench_->setTimetableSource([this] { return file_.timetable(); });
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
    say(Priority::Notice,
        QStringLiteral("« %1 » relu : horaire et réglages appliqués").arg(QDir::toNativeSeparators(file_.path)));
    if (switchChanged && bench_->switchedOn() != file_.settings.marche) bench_->flipSwitch();
    applyAcquisitions(file_, &previous);
    notify::ready(QStringLiteral("fichier de banc relu"));
    return true;
}

void BenchService::applyAcquisitions(const BenchFile &file, const BenchFile *previous)
{
    // The acquisitions and the journal still live in the window's frames:
    // until the engine holds them, their settings are read, checked and said.
    const BenchSettings &s = file.settings;
    if (previous && previous->settings.analog == s.analog && previous->settings.logic == s.logic &&
        previous->settings.journal == s.journal)
        return;
    const bool any = s.analog.mode != AcquisitionMode::Manual || s.logic.mode != AcquisitionMode::Manual ||
                     s.analog.memorisation || s.logic.memorisation || !file.journalPath.isEmpty();
    if (any)
        say(Priority::Warning, QStringLiteral("acquisitions (analogique : %1, logique : %2) et journal (%3) : pas "
                                              "encore pris en charge sans la fenêtre, réglages ignorés")
                                   .arg(modeName(s.analog.mode), modeName(s.logic.mode),
                                        file.journalPath.isEmpty() ? QStringLiteral("aucun") : file.journalPath));
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
    emit ended();
}

}  // namespace service
