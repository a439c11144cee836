#include "record/indexlock.h"

#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

IndexLock::~IndexLock()
{
    release();
}

bool IndexLock::acquire(bool alone, std::chrono::milliseconds patience)
{
    if (descriptor_ < 0)
        descriptor_ = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor_ < 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (::flock(descriptor_, (alone ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void IndexLock::release()
{
    if (descriptor_ >= 0)
        ::close(descriptor_); // closing the descriptor drops its lock
    descriptor_ = -1;
}
