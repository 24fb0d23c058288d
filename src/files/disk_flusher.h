#pragma once
// Flushes a file to the disk on a thread of its own, so that a slow disk (a
// busy USB stick takes seconds for one fsync) never holds up whoever wrote
// the lines. The flusher keeps a duplicate of the descriptor: the writer may
// close its own at once. A failed flush is kept until the writer asks.

#include <condition_variable>
#include <mutex>
#include <thread>

namespace files {

class DiskFlusher {
public:
    DiskFlusher();
    ~DiskFlusher();  // waits for the flush under way and the one asked for
    DiskFlusher(const DiskFlusher &) = delete;
    DiskFlusher &operator=(const DiskFlusher &) = delete;

    // Asks for everything written so far on fd to reach the disk; returns at
    // once. A request made while a flush runs is served by the next one.
    // False when the descriptor cannot be duplicated (errno set).
    bool request(int fd);
    // The errno of a flush that failed since the last call, else 0.
    int takeFailure();
    // Blocks until every flush asked for so far has run (for tests).
    void wait();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    int next_fd_ = -1;  // duplicate awaiting its flush
    bool busy_ = false;
    bool quitting_ = false;
    int failure_ = 0;
    std::thread thread_;
};

}  // namespace files
