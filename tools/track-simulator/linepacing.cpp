#include "linepacing.h"

#include "records.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <unistd.h>

namespace {

constexpr double kMaxBurstMs = 20.0;

volatile std::sig_atomic_t stopFlag = 0;

void requestStop(int)
{
    stopFlag = 1;
}

} // namespace

void installStopHandlers()
{
    struct sigaction action{};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a signal cuts the pacing sleep short.
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool stopRequested()
{
    return stopFlag != 0;
}

bool writeSome(int fd, std::string &pending)
{
    const ssize_t written = ::write(fd, pending.data(), pending.size());
    if (written > 0) {
        pending.erase(0, static_cast<std::size_t>(written));
        return true;
    }
    return written == 0 || errno == EAGAIN || errno == EINTR;
}

void sleepMs(double ms)
{
    const auto ns = static_cast<long>(std::clamp(ms, 1.0, 50.0) * 1e6);
    timespec pause{ns / 1'000'000'000, ns % 1'000'000'000};
    ::nanosleep(&pause, nullptr);
}

LinePace::LinePace(std::uint32_t baud)
    : bytesPerMs_(baud / 10.0 / 1000.0), burstLimit_(std::max<double>(kRecordBytes, bytesPerMs_ * kMaxBurstMs))
{
}

void LinePace::advance()
{
    const Clock::time_point now = Clock::now();
    budget_ = std::min(burstLimit_, budget_ + std::chrono::duration<double, std::milli>(now - last_).count() * bytesPerMs_);
    last_ = now;
}

bool LinePace::take(std::size_t bytes)
{
    if (budget_ < double(bytes))
        return false;
    budget_ -= double(bytes);
    return true;
}

double LinePace::msUntil(std::size_t bytes) const
{
    return (double(bytes) - budget_) / bytesPerMs_;
}
