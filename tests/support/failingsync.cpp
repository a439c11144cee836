#include "support/failingsync.h"

#include <atomic>
#include <cerrno>
#include <mutex>
#include <set>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::atomic<int> failWith{0};
std::mutex callersMutex;
std::set<std::thread::id> callers;

} // namespace

void failForcedWritesWith(int error)
{
    failWith = error;
}

void forgetForcedWrites()
{
    std::lock_guard lock(callersMutex);
    callers.clear();
}

bool forcedWriteOn(std::thread::id thread)
{
    std::lock_guard lock(callersMutex);
    return callers.count(thread) > 0;
}

// Linked into the test program, this one is found before the C library's.
extern "C" int fdatasync(int fd)
{
    {
        std::lock_guard lock(callersMutex);
        callers.insert(std::this_thread::get_id());
    }
    if (const int error = failWith.load(); error != 0) {
        errno = error;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fdatasync, fd));
}
