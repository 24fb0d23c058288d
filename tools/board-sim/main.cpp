// pramelor-board-sim: plays the board on a pseudo-terminal behind a link path.
#include "core/board.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <csignal>
#include <unistd.h>

namespace {
int signal_pipe[2] = {-1, -1};
void onSignal(int) { [[maybe_unused]] auto n = ::write(signal_pipe[1], "x", 1); }
}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pramelor-board-sim"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Carte PIC 16F877 simulée sur un pseudo-terminal"));
    parser.addHelpOption();
    QCommandLineOption linkOpt(QStringLiteral("link"), QStringLiteral("Chemin du lien vers le port simulé."),
                               QStringLiteral("path"), QStringLiteral("/tmp/pramelor-com1"));
    QCommandLineOption modeOpt(QStringLiteral("mode"), QStringLiteral("normal, silent, garbled, late, flood."),
                               QStringLiteral("mode"), QStringLiteral("normal"));
    QCommandLineOption unplugAfter(QStringLiteral("unplug-after"), QStringLiteral("Débranche après S secondes."),
                                   QStringLiteral("S"));
    QCommandLineOption unplugFor(QStringLiteral("unplug-for"), QStringLiteral("Reste débranchée S secondes."),
                                 QStringLiteral("S"), QStringLiteral("5"));
    QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("N'affiche pas les relais."));
    parser.addOptions({linkOpt, modeOpt, unplugAfter, unplugFor, quiet});
    parser.process(app);

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
