// The archive's background worker: jobs run in the order posted, off the
// caller's thread; waiting returns only when all have run; a throwing job
// does not stop the ones after it; destroying the worker runs what is queued.
#include "record/archiveworker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

TEST(ArchiveWorker, RunsJobsInOrderOffTheCallersThreadAndFinishesThemAll)
{
    std::vector<int> order;
    std::atomic<bool> otherThread{true};
    const std::thread::id caller = std::this_thread::get_id();
    {
        ArchiveWorker worker;
        worker.post([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            order.push_back(1);
            otherThread = otherThread && std::this_thread::get_id() != caller;
        });
        worker.post([] { throw std::runtime_error("a page could not be written"); });
        worker.post([&] { order.push_back(2); });
        worker.waitIdle();
        EXPECT_EQ(order, (std::vector<int>{1, 2}));
        worker.post([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            order.push_back(3);
        });
    } // the destructor runs the queued job before it returns
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(otherThread);
}
