// How the panel ends. Whatever asks for it (the close box, "Quitter", a
// signal, the end of the desktop session), there is one orderly shutdown:
// every lamp grey at once, nothing new starts, about one second in which
// Timer4 tells the board to switch every relay off, then the program ends.
// The wait is a timer, not a loop inside a handler, so nothing that happens
// in that second (a second close, a quit) can cut it short.
#include "shell/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>

void Form1::closeEvent(QCloseEvent *e)
{
    if (hasEnded()) {
        e->accept();
        return;
    }
    e->ignore();  // the window closes once the board has heard the all-off command
    beginShutdown();
}

void Form1::n_quitter_Click() { close(); }

void Form1::beginShutdown()
{
    if (shuttingDown() || hasEnded()) return;
    place_.save();  // while the window is still where the user left it
    bench_->beginShutdown();
    shutdown_wait_->start();
}

void Form1::finishShutdown(bool endProgram)
{
    if (hasEnded()) return;
    shutdown_wait_->stop();
    bench_->finish();
    for (QTimer *t : findChildren<QTimer *>()) t->stop();
    close();
    emit ended();
    if (endProgram && setup_.quitApplication) QCoreApplication::exit(0);
}

void Form1::endAtOnce()
{
    beginShutdown();
    finishShutdown(false);
}
