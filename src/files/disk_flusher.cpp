#include "files/disk_flusher.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace files {

DiskFlusher::DiskFlusher() : thread_([this] { run(); }) {}

DiskFlusher::~DiskFlusher()
{
    {
        std::lock_guard lock(mutex_);
        quitting_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

bool DiskFlusher::request(int fd)
{
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) return false;
    int replaced = -1;
    {
        std::lock_guard lock(mutex_);
        replaced = next_fd_;  // one flush of the same file serves both
        next_fd_ = copy;
    }
    if (replaced >= 0) ::close(replaced);
    changed_.notify_all();
    return true;
}

int DiskFlusher::takeFailure()
{
    std::lock_guard lock(mutex_);
    const int err = failure_;
    failure_ = 0;
    return err;
}

void DiskFlusher::wait()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return next_fd_ < 0 && !busy_; });
}

void DiskFlusher::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return next_fd_ >= 0 || quitting_; });
        if (next_fd_ < 0) return;  // quitting, and nothing left to flush
        const int fd = next_fd_;
        next_fd_ = -1;
        busy_ = true;
        lock.unlock();
        const int err = ::fsync(fd) == 0 ? 0 : errno;
        ::close(fd);
        lock.lock();
        busy_ = false;
        if (err != 0) failure_ = err;
        changed_.notify_all();
    }
}

}  // namespace files
