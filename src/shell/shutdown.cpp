#include "shell/shutdown.h"

#include "link/last_resort.h"
#include "shell/form1.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace shell {

#ifdef Q_OS_UNIX
namespace {

// Every signal whose default action ends the process is caught. These start
// the orderly shutdown: the ways a user or the system asks for an end (the
// real-time signals, whose meaning is the sender's, are counted here too).
constexpr int kTermination[] = {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGUSR2, SIGPWR, SIGIO};
// These say the process cannot go on: the all-off command at once.
constexpr int kFatal[] = {SIGABRT, SIGSEGV, SIGBUS,    SIGFPE,  SIGILL,    SIGQUIT,
                          SIGTRAP, SIGSYS,  SIGSTKFLT, SIGXCPU, SIGVTALRM, SIGPROF};
constexpr unsigned kWatchdogS = 5;

int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_first_signal = 0;
struct sigaction g_previous[NSIG];  // what each fatal signal did before

// The window did not end within the watchdog's time: all-off, then the first
// signal does what it would have done without the panel's handler.
void watchdogExpired()
{
    board::last_resort::writeAllOff();
    const int sig = g_first_signal;
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

// A byte into the pipe the event loop watches; the first one arms the
// watchdog.
void requestShutdown(int sig)
{
    const char byte = char(sig);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    if (g_first_signal == 0) {
        g_first_signal = sig;
        ::alarm(kWatchdogS);
    }
}

void onTermination(int sig)
{
    const int saved = errno;
    requestShutdown(sig);
    errno = saved;
}

// The watchdog is the kernel's SIGALRM from alarm(), armed by the first
// termination signal; no other process can send one marked as the kernel's.
// Any other SIGALRM (kill -ALRM) would end the process by default, so it asks
// for the orderly shutdown like SIGTERM.
void onAlarm(int sig, siginfo_t *info, void *)
{
    const int saved = errno;
    if (g_first_signal != 0 && info != nullptr && info->si_code == SI_KERNEL)
        watchdogExpired();
    else
        requestShutdown(sig);
    errno = saved;
}

// A fault comes back when the instruction runs again, now to the previous
// handler (the default, or a sanitizer's); any other fatal signal, and a
// fault sent by another process, is raised again.
bool comesBack(int sig, const siginfo_t *info)
{
    const bool fault = sig == SIGSEGV || sig == SIGBUS || sig == SIGFPE || sig == SIGILL;
    return fault && info != nullptr && info->si_code > 0;
}

void onFatal(int sig, siginfo_t *info, void *)
{
    board::last_resort::writeAllOff();
    ::sigaction(sig, &g_previous[sig], nullptr);
    if (!comesBack(sig, info)) ::raise(sig);
}

void atExit() { board::last_resort::writeAllOff(); }

bool ignored(int sig)
{
    struct sigaction current {};
    return ::sigaction(sig, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
           current.sa_handler == SIG_IGN;
}

// Whether the signal would still end the process: its default action.
bool byDefault(int sig)
{
    struct sigaction current {};
    return ::sigaction(sig, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
           current.sa_handler == SIG_DFL;
}

// A stack of its own for the handlers, so that even a stack overflow gets
// its all-off command; one already set up (by a sanitizer) is kept.
void alternateStack()
{
    static char stack[64 * 1024];
    stack_t current{};
    if (::sigaltstack(nullptr, &current) != 0 || !(current.ss_flags & SS_DISABLE)) return;
    stack_t mine{};
    mine.ss_sp = stack;
    mine.ss_size = sizeof stack;
    ::sigaltstack(&mine, nullptr);
}

}  // namespace

void installEndGuards()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    // A write to a closed pipe or socket then fails with an error instead of
    // ending the program; a write beyond the user's file-size limit likewise
    // (the journal stops and says why).
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        const auto catchTermination = [](int sig) {
            if (ignored(sig)) return;
            struct sigaction sa {};
            sa.sa_handler = onTermination;
            sigemptyset(&sa.sa_mask);
            sa.sa_flags = SA_RESTART;
            ::sigaction(sig, &sa, nullptr);
        };
        for (int sig : kTermination) catchTermination(sig);
        for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) catchTermination(sig);
        if (!ignored(SIGALRM)) {
            struct sigaction sa {};
            sa.sa_sigaction = onAlarm;
            sigemptyset(&sa.sa_mask);
            sa.sa_flags = SA_SIGINFO | SA_RESTART;
            ::sigaction(SIGALRM, &sa, nullptr);
        }
    }
    alternateStack();
    for (int sig : kFatal) {
        if (ignored(sig)) continue;
        // The profiling timers' signals already handled belong to a profiler
        // (gprof's SIGPROF), which gets them as often as it asked.
        if ((sig == SIGPROF || sig == SIGVTALRM) && !byDefault(sig)) continue;
        struct sigaction sa {};
        sa.sa_sigaction = onFatal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_SIGINFO | SA_ONSTACK;
        ::sigaction(sig, &sa, &g_previous[sig]);
    }
    std::atexit(atExit);
}

void watchTerminationSignals(Form1 &form)
{
    if (g_pipe[0] < 0) return;
    // The line hears the signal on its own thread and begins its all-off at
    // once, even while the window's thread waits on a slow disk; the window
    // then runs the rest of the shutdown.
    QObject::connect(&form.bench(), &Bench::endRequested, &form, &Form1::beginShutdown);
    form.bench().watchEndRequests(g_pipe[0]);
    QObject::connect(&form, &Form1::ended, &form, [] { ::alarm(0); });
}

#else

void installEndGuards() {}
void watchTerminationSignals(Form1 &) {}

#endif

}  // namespace shell
