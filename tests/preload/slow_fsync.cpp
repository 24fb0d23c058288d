// A disk that takes its time: loaded into a child panel with LD_PRELOAD, it
// makes every fsync, fdatasync and syncfs wait PRAMELOR_FSYNC_DELAY_MS
// milliseconds before doing the real one, as a busy USB stick does.
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>

namespace {

void waitLikeASlowDisk()
{
    static const long ms = [] {
        const char *text = std::getenv("PRAMELOR_FSYNC_DELAY_MS");
        return text ? std::strtol(text, nullptr, 10) : 0L;
    }();
    if (ms <= 0) return;
    const int saved = errno;
    timespec left{ms / 1000, (ms % 1000) * 1000000L};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {}
    errno = saved;
}

template <class F>
F real(const char *name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int fsync(int fd)
{
    static const auto next = real<int (*)(int)>("fsync");
    waitLikeASlowDisk();
    return next(fd);
}

int fdatasync(int fd)
{
    static const auto next = real<int (*)(int)>("fdatasync");
    waitLikeASlowDisk();
    return next(fd);
}

int syncfs(int fd)
{
    static const auto next = real<int (*)(int)>("syncfs");
    waitLikeASlowDisk();
    return next(fd);
}

}  // extern "C"
