#pragma once
// The relays off however the program ends.
//
// Every signal whose default action ends the process is caught:
// - SIGTERM (a logout, kill), SIGINT (Ctrl+C in the terminal), SIGHUP (the
//   terminal closed), SIGUSR1, SIGUSR2, SIGPWR, SIGIO, the real-time signals
//   and a SIGALRM that is not the watchdog's start the window's orderly
//   shutdown: the handler only writes a byte into a pipe that the event loop
//   watches. Should the event loop not answer (the window stuck), the
//   all-off command is written by the handler side five seconds later (the
//   kernel's SIGALRM) and the first signal then takes its usual course;
// - SIGPIPE and SIGXFSZ are ignored: the write fails and says so instead;
// - the others (SIGQUIT, SIGTRAP, SIGSYS, SIGXCPU, SIGVTALRM, SIGPROF,
//   SIGSTKFLT and the faults) write the all-off command at once and end it.
//
// A way out that skips the shutdown (the display connection lost, which ends
// the program through exit(); a fatal Qt message, std::terminate and abort,
// which raise SIGABRT; a crash) writes the all-off command on the line with a
// plain write before the process goes, when one is owed. Signals the program
// was started with ignored stay ignored (a panel started under nohup keeps
// running when its terminal closes).

class Form1;

namespace shell {

// Once per process, before the window exists.
void installEndGuards();
// The pipe of the termination signals into the window's shutdown; also ends
// the watch once the shutdown has run.
void watchTerminationSignals(Form1 &form);

}  // namespace shell
