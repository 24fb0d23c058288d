// pramelor-board-sim: plays the board on a pseudo-terminal behind a link path.
#include "core/board.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <csignal>
#include <unistd.h>

#ifndef PRAMELOR_VERSION
#define PRAMELOR_VERSION "1.0"
#endif

namespace {
constexpr char kDefaultLink[] = "/tmp/pramelor-com1";
int signal_pipe[2] = {-1, -1};

QString helpText()
{
    return QStringLiteral("pramelor-board-sim : la carte PIC 16F877 simulée sur un pseudo-terminal, pour essayer le\n"
                          "panneau sans carte. Elle répond aux commandes du panneau et affiche l'état des relais.\n"
                          "\n"
                          "Usage : pramelor-board-sim [options]\n"
                          "\n"
                          "Options :\n"
                          "  --link CHEMIN      le lien vers son port (par défaut %1) ;\n"
                          "                     lancez le panneau avec PRAMELOR_COM1=CHEMIN pramelor\n"
                          "  --mode MODE        normal (par défaut) ; silent : ne répond pas ; garbled : réponses\n"
                          "                     abîmées ; late : répond en retard ; flood : inonde la ligne\n"
                          "  --unplug-after S   se débranche au bout de S secondes\n"
                          "  --unplug-for S     reste débranchée S secondes (par défaut 5)\n"
                          "  --quiet            n'affiche pas les relais\n"
                          "  -h, --help         cette aide\n"
                          "  -v, --version      la version\n"
                          "\n"
                          "Ctrl+C ou kill l'arrête et retire le lien.\n")
        .arg(QString::fromLatin1(kDefaultLink));
}
void onSignal(int) { [[maybe_unused]] auto n = ::write(signal_pipe[1], "x", 1); }
}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pramelor-board-sim"));
    QCommandLineParser parser;
    QCommandLineOption linkOpt(QStringLiteral("link"), {}, QStringLiteral("path"), QString::fromLatin1(kDefaultLink));
    QCommandLineOption modeOpt(QStringLiteral("mode"), {}, QStringLiteral("mode"), QStringLiteral("normal"));
    QCommandLineOption unplugAfter(QStringLiteral("unplug-after"), {}, QStringLiteral("S"));
    QCommandLineOption unplugFor(QStringLiteral("unplug-for"), {}, QStringLiteral("S"), QStringLiteral("5"));
    QCommandLineOption quiet(QStringLiteral("quiet"), {});
    QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, {});
    QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, {});
    parser.addOptions({linkOpt, modeOpt, unplugAfter, unplugFor, quiet, help, version});
    // Qt's own help and errors are English: the board says its own in French.
    if (!parser.parse(QCoreApplication::arguments())) {
        const QStringList unknown = parser.unknownOptionNames();
        QTextStream(stderr) << "pramelor-board-sim : "
                            << (unknown.isEmpty() ? QStringLiteral("il manque la valeur d'une option")
                                                  : QStringLiteral("option inconnue « %1 »").arg(unknown.first()))
                            << ". Voyez pramelor-board-sim --help.\n";
        return 2;
    }
    if (parser.isSet(help)) {
        QTextStream(stdout) << helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << "pramelor-board-sim " << PRAMELOR_VERSION << "\n";
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        QTextStream(stderr) << "pramelor-board-sim : argument inconnu « " << parser.positionalArguments().first()
                            << " ». Voyez pramelor-board-sim --help.\n";
        return 2;
    }

    const auto mode = sim::modeFromName(parser.value(modeOpt));
    if (!mode) {
        QTextStream(stderr) << "mode inconnu : " << parser.value(modeOpt) << "\n";
        return 2;
    }
    sim::PtyBoard board(parser.value(linkOpt));
    QTextStream out(stdout);
    if (!board.isPlugged()) {
        QTextStream(stderr) << board.lastError() << "\n";
        return 1;
    }
    board.setMode(*mode);
    out << "Carte simulée prête : " << board.linkPath() << " -> " << board.slavePath() << Qt::endl;
    if (!parser.isSet(quiet))
        QObject::connect(&board, &sim::PtyBoard::relaysChanged,
                         [&out](int b) { out << sim::relayLine(b) << Qt::endl; });

    if (parser.isSet(unplugAfter)) {
        const int after = parser.value(unplugAfter).toInt() * 1000, span = parser.value(unplugFor).toInt() * 1000;
        QTimer::singleShot(after, &board, [&] {
            board.unplug();
            out << "carte débranchée" << Qt::endl;
            QTimer::singleShot(span, &board, [&] {
                board.plug();
                out << "carte rebranchée : " << board.linkPath() << " -> " << board.slavePath() << Qt::endl;
            });
        });
    }

    // Leave cleanly on Ctrl-C or kill: the link must not be left behind. A
    // Ctrl-C that the starting shell told it to ignore (run.sh starts it in
    // the background) stays ignored: the board then outlives the panel and
    // hears its last all-off command.
    if (::pipe(signal_pipe) == 0) {
        if (std::signal(SIGINT, onSignal) == SIG_IGN) std::signal(SIGINT, SIG_IGN);
        std::signal(SIGTERM, onSignal);
        auto *n = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, &app);
        QObject::connect(n, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    }
    return app.exec();
}
