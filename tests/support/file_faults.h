#pragma once
// Faults of the file system without root or a special disk: a full disk is
// a child process whose files may not grow beyond a limit (writes past it
// fail with EFBIG), and "not allowed" is the file-system identity of user
// nobody, taken by the calling thread only (the tests run as root, which
// any permission lets through).

#include "file_bytes.h"

#include <QString>
#include <csignal>
#include <functional>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace panel {

// The file-system identity of user nobody for this thread, while it lives.
class AsNobody {
public:
    AsNobody() { setfsuid(65534); }
    ~AsNobody() { setfsuid(0); }
    AsNobody(const AsNobody &) = delete;
    AsNobody &operator=(const AsNobody &) = delete;
    // Whether this process may take it (it needs root's CAP_SETUID).
    static bool possible()
    {
        const AsNobody nobody;
        return setfsuid(uid_t(-1)) == 65534;
    }
};

struct ChildResult {
    bool exited = false;  // ended normally (not killed by a signal)
    bool ok = false;      // what the save returned
    QString message;
};

// save runs in a child process whose files may not grow beyond limit bytes;
// its result and message come back through a pipe.
inline ChildResult withFileSizeLimit(rlim_t limit, const std::function<bool(QString &)> &save)
{
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid < 0) return {};
    if (pid == 0) {
        ::close(fds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit r{};
        getrlimit(RLIMIT_FSIZE, &r);
        r.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &r);
        QString message;
        const bool ok = save(message);
        const QByteArray bytes = message.toUtf8();
        [[maybe_unused]] const auto n = ::write(fds[1], bytes.constData(), size_t(bytes.size()));
        ::_exit(ok ? 0 : 1);
    }
    ::close(fds[1]);
    QByteArray said;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) said.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status), WIFEXITED(status) && WEXITSTATUS(status) == 0, QString::fromUtf8(said)};
}

}  // namespace panel
