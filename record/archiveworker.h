// One background thread for the archive's slow work (a race's report, the
// index and the pages after a race), so the window never waits for it. Jobs
// run one at a time in the order posted; destroying the worker finishes
// every posted job first, so nothing is lost when the program ends.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class ArchiveWorker {
public:
    ArchiveWorker();
    ~ArchiveWorker();
    ArchiveWorker(const ArchiveWorker &) = delete;
    ArchiveWorker &operator=(const ArchiveWorker &) = delete;

    /// Queues \a job; it must not throw (an exception is swallowed).
    void post(std::function<void()> job);
    /// Returns once every job posted so far has run.
    void waitIdle();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> jobs_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};
