#include "shell/shutdown.h"

#include "link/last_resort.h"
#include "shell/form1.h"

#include <QSocketNotifier>
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

constexpr int kTermination[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kFatal[] = {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGQUIT};
constexpr unsigned kWatchdogS = 5;

int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_first_signal = 0;
struct sigaction g_previous[NSIG];  // what each fatal signal did before

void onTermination(int sig)
{
    const int saved = errno;
    const char byte = char(sig);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    if (g_first_signal == 0) {
        g_first_signal = sig;
        ::alarm(kWatchdogS);
    }
    errno = saved;
}

// The window did not end within the watchdog's time: all-off, then the first
// signal does what it would have done without the panel's handler.
void onWatchdog(int)
{
    board::last_resort::writeAllOff();
    const int sig = g_first_signal;
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

void onFatal(int sig, siginfo_t *info, void *)
{
    board::last_resort::writeAllOff();
    ::sigaction(sig, &g_previous[sig], nullptr);
    // A fault comes back when the instruction runs again, now to the previous
    // handler (the default, or a sanitizer's); a sent signal is sent again.
    if (info == nullptr || info->si_code <= 0 || sig == SIGABRT || sig == SIGQUIT) ::raise(sig);
}

void atExit() { board::last_resort::writeAllOff(); }

bool ignored(int sig)
{
    struct sigaction current {};
    return ::sigaction(sig, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
           current.sa_handler == SIG_IGN;
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
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        for (int sig : kTermination) {
            if (ignored(sig)) continue;
            struct sigaction sa {};
            sa.sa_handler = onTermination;
            sigemptyset(&sa.sa_mask);
            sa.sa_flags = SA_RESTART;
            ::sigaction(sig, &sa, nullptr);
        }
        struct sigaction sa {};
        sa.sa_handler = onWatchdog;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGALRM, &sa, nullptr);
    }
    alternateStack();
    for (int sig : kFatal) {
        if (ignored(sig)) continue;
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
    auto *notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, &form);
    QObject::connect(notifier, &QSocketNotifier::activated, &form, [&form] {
        char bytes[64];
        while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {}
        form.beginShutdown();  // a second signal changes nothing
    });
    QObject::connect(&form, &Form1::ended, &form, [] { ::alarm(0); });
}

#else

void installEndGuards() {}
void watchTerminationSignals(Form1 &) {}

#endif

}  // namespace shell
