// pramelord: a bench without a window, from its bench file.
#include "service/all_off.h"
#include "service/bench_file.h"
#include "service/bench_service.h"
#include "service/end_signals.h"
#include "service/service_log.h"
#include "text/clock.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <cstring>

using namespace service;

namespace {

QString helpText()
{
    return QStringLiteral(
        "pramelord : fait tourner un banc Pramelor sans fenêtre (carte PIC 16F877 sur une liaison série),\n"
        "d'après un fichier de banc : le port, l'interrupteur général, l'horaire des sorties, les réglages\n"
        "de param.ini. Il écrit la commande des sorties toutes les 0,8 s, comme la fenêtre.\n"
        "\n"
        "Usage :\n"
        "  pramelord [--verbeux] BANC.ini     fait tourner le banc (SIGTERM, SIGINT : arrêt, relais coupés ;\n"
        "                                     SIGHUP : relit le fichier de banc)\n"
        "  pramelord --check BANC.ini         vérifie le fichier de banc (code 2 s'il a une erreur, 0 sinon)\n"
        "  pramelord --all-off BANC.ini       envoie la commande tout-éteint (6E 00) sur le port du banc\n"
        "  pramelord --all-off --port PÉRIPHÉRIQUE\n"
        "  pramelord --help | --version\n"
        "\n"
        "Le journal va sur la sortie d'erreur, une ligne par événement, préfixée pour journalctl.\n"
        "Service : systemctl enable --now pramelor@NOM (fichier /etc/pramelor/NOM.ini).\n"
        "Variables d'environnement : PRAMELOR_COM1 … PRAMELOR_COM4 (périphérique de COM1 … COM4).\n");
}

void print(std::FILE *to, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

int usage(const QString &what)
{
    print(stderr, QStringLiteral("pramelord : %1. Voyez pramelord --help.\n").arg(what));
    return 2;
}

struct Options {
    enum Action { Run, Check, AllOff } action = Run;
    bool verbose = false;
    QString file, port;
};

}  // namespace

int main(int argc, char *argv[])
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            print(stdout, helpText());
            return 0;
        }
        if (!std::strcmp(a, "--version") || !std::strcmp(a, "-v")) {
            print(stdout, QStringLiteral("pramelord %1\n").arg(QLatin1String(PRAMELOR_VERSION)));
            return 0;
        }
        if (!std::strcmp(a, "--check")) {
            o.action = Options::Check;
        } else if (!std::strcmp(a, "--all-off")) {
            o.action = Options::AllOff;
        } else if (!std::strcmp(a, "--verbeux")) {
            o.verbose = true;
        } else if (!std::strcmp(a, "--port")) {
            if (++i >= argc) return usage(QStringLiteral("--port demande un périphérique"));
            o.port = QString::fromLocal8Bit(argv[i]);
        } else if (a[0] == '-' && a[1] != '\0') {
            return usage(QStringLiteral("option inconnue « %1 »").arg(QString::fromLocal8Bit(a)));
        } else if (o.file.isEmpty()) {
            o.file = QString::fromLocal8Bit(a);
        } else {
            return usage(QStringLiteral("un seul fichier de banc, « %1 » en trop").arg(QString::fromLocal8Bit(a)));
        }
    }
    if (!o.port.isEmpty() && o.action != Options::AllOff) return usage(QStringLiteral("--port va avec --all-off"));
    if (o.file.isEmpty() && o.port.isEmpty()) return usage(QStringLiteral("il manque le fichier de banc"));

    if (o.action == Options::Run) EndSignals::install();  // before anything could open the port
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pramelord"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PRAMELOR_VERSION));

    if (o.action == Options::AllOff) {
        QString device = o.port;
        if (device.isEmpty()) {
            const BenchFile f = readBenchFile(o.file);
            device = f.device;
            if (device.isEmpty()) {
                for (const QString &e : f.errors) say(Priority::Error, e);
                return 2;
            }
        }
        QString said;
        const bool sent = sendAllOff(device, &said);
        say(sent ? Priority::Notice : Priority::Error, said);
        return sent ? 0 : 1;
    }

    BenchFile file = readBenchFile(o.file);
    if (o.action == Options::Check) {
        for (const QString &e : file.errors) print(stderr, e + u'\n');
        if (file.ok())
            print(stdout, QStringLiteral("« %1 » : aucune erreur (banc « %2 », port %3)\n")
                              .arg(QDir::toNativeSeparators(o.file), file.settings.name, file.device));
        return file.ok() ? 0 : 2;
    }
    if (!file.ok()) {
        for (const QString &e : file.errors) say(Priority::Error, e);
        say(Priority::Error, QStringLiteral("le banc ne démarre pas"));
        return 2;
    }

    SystemClock clock;
    BenchService bench(clock, std::move(file), o.verbose, nullptr, true);
    EndSignals endSignals;
    QObject::connect(&endSignals, &EndSignals::endRequested, &bench, &BenchService::beginShutdown);
    QObject::connect(&endSignals, &EndSignals::reloadRequested, &bench, &BenchService::reload);
    QObject::connect(
        &bench, &BenchService::ended, &app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    bench.start();
    return app.exec();
}
