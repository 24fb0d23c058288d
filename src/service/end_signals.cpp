#include "service/end_signals.h"

#include "link/last_resort.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace service {

namespace {

constexpr int kEnd[] = {SIGTERM, SIGINT, SIGUSR1, SIGUSR2, SIGPWR, SIGIO};
constexpr int kFatal[] = {SIGABRT, SIGSEGV, SIGBUS,    SIGFPE,  SIGILL,    SIGQUIT,
                          SIGTRAP, SIGSYS,  SIGSTKFLT, SIGXCPU, SIGVTALRM, SIGPROF};
constexpr unsigned kGuardS = 3;

int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_first = 0;
struct sigaction g_previous[NSIG];

void post(int sig)
{
    const char byte = char(sig);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
}

void onEnd(int sig)
{
    const int saved = errno;
    post(sig);
    if (sig != SIGHUP && g_first == 0) {
        g_first = sig;
        ::alarm(kGuardS);
    }
    errno = saved;
}

// The kernel's SIGALRM after an end request: the event loop did not answer.
void onAlarm(int sig, siginfo_t *info, void *)
{
    const int saved = errno;
    if (g_first != 0 && info != nullptr && info->si_code == SI_KERNEL) {
        board::last_resort::writeAllOff();
        const int first = g_first;
        ::signal(first, SIG_DFL);
        ::raise(first);
    } else {
        onEnd(sig);
    }
    errno = saved;
}

void onFatal(int sig, siginfo_t *info, void *)
{
    board::last_resort::writeAllOff();
    ::sigaction(sig, &g_previous[sig], nullptr);
    const bool fault = sig == SIGSEGV || sig == SIGBUS || sig == SIGFPE || sig == SIGILL;
    if (!(fault && info != nullptr && info->si_code > 0)) ::raise(sig);
}

void atExit() { board::last_resort::writeAllOff(); }

bool ignored(int sig)
{
    struct sigaction current {};
    return ::sigaction(sig, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
           current.sa_handler == SIG_IGN;
}

}  // namespace

void EndSignals::install()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        const auto catchIt = [](int sig) {
            if (ignored(sig)) return;
            struct sigaction sa {};
            sa.sa_handler = onEnd;
            sigemptyset(&sa.sa_mask);
            sa.sa_flags = SA_RESTART;
            ::sigaction(sig, &sa, nullptr);
        };
        for (int sig : kEnd) catchIt(sig);
        catchIt(SIGHUP);
        struct sigaction sa {};
        sa.sa_sigaction = onAlarm;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_SIGINFO | SA_RESTART;
        ::sigaction(SIGALRM, &sa, nullptr);
    }
    for (int sig : kFatal) {
        if (ignored(sig)) continue;
        struct sigaction sa {};
        sa.sa_sigaction = onFatal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_SIGINFO;
        ::sigaction(sig, &sa, &g_previous[sig]);
    }
    std::atexit(atExit);
}

EndSignals::EndSignals(QObject *parent) : QObject(parent)
{
    if (g_pipe[0] < 0) return;
    auto *notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[64];
        for (ssize_t n; (n = ::read(g_pipe[0], bytes, sizeof bytes)) > 0;)
            for (ssize_t i = 0; i < n; ++i) {
                if (bytes[i] == SIGHUP)
                    emit reloadRequested();
                else
                    emit endRequested(bytes[i]);
            }
    });
}

void EndSignals::ended() { ::alarm(0); }

}  // namespace service
