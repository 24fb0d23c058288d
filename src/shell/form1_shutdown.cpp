// How the panel ends. Whatever asks for it (the close box, "Quitter", a
// signal, the end of the desktop session), there is one orderly shutdown:
// every lamp grey at once, nothing new starts, about one second in which
// Timer4 tells the board to switch every relay off, then the program ends.
// The wait is a timer, not a loop inside a handler, so nothing that happens
// in that second (a second close, a quit) can cut it short.
#include "acquisition/analog_frame_widget.h"
#include "acquisition/logic_frame_widget.h"
#include "link/protocol.h"
#include "link/serial_component.h"
#include "shell/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>

void Form1::waitOneSecond()
{
    waiting_ = true;
    QEventLoop loop;
    QTimer::singleShot(1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    waiting_ = false;
}

void Form1::closeEvent(QCloseEvent *e)
{
    if (ended_) {
        e->accept();
        return;
    }
    e->ignore();  // the window closes once the board has heard the all-off command
    beginShutdown();
}

void Form1::n_quitter_Click() { close(); }

void Form1::beginShutdown()
{
    if (shutting_down_ || ended_) return;
    saveWindowPlace();  // while the window is still where the user left it
    shutting_down_ = true;
    // The switch on, or a request that paused Timer4 or restarted it: the
    // board may have a relay on and must hear the all-off command.
    all_off_due_ =
        marche == 1 || last_output_byte_ != 0 || Timer4->isActive() || Timer2->isActive() || Timer8->isActive();
    // Nothing new starts: no timetable, no request not yet sent, no decoding
    // of one already sent, no cyclic or programmed acquisition.
    Timer1->stop();
    Timer2->stop();
    Timer8->stop();
    analog_->stopAcquisitions();
    logic_->stopAcquisitions();
    gate_.reset();
    Command9_Click();
    if (all_off_due_) enableTimer(Timer4);  // it writes byte 0 from now on
    shutdown_wait_->start();
}

void Form1::finishShutdown(bool endProgram)
{
    if (ended_) return;
    shutdown_wait_->stop();
    Timer4->stop();
    // The last bytes on the line are the all-off command, whether or not
    // Timer4 got to fire in the wait.
    if (all_off_due_ && last_written_ != board::outputCommand(0)) writeOutputCommand();
    if (serial_->isOpen()) serial_->close();  // what was written goes out first
    for (QTimer *t : findChildren<QTimer *>()) t->stop();
    ended_ = true;
    noteOwed();
    close();
    emit ended();
    if (endProgram && setup_.quitApplication) QCoreApplication::exit(0);
}

void Form1::endAtOnce()
{
    beginShutdown();
    finishShutdown(false);
}
