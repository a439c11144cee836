#include "shell/timingprobe.h"

#include <chrono>

#ifdef Q_OS_UNIX
#include <time.h>
#else
#include <ctime>
#endif

// Off unless asked for: the heartbeat wakes the program 200 times a second.
Q_LOGGING_CATEGORY(lcTiming, "tramelo.timing", QtWarningMsg)

namespace {

// Processor time of the calling thread in microseconds: sounds and D-Bus
// have threads of their own, whose work does not stall the event loop.
std::int64_t threadCpuUs()
{
#ifdef Q_OS_UNIX
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::int64_t{now.tv_sec} * 1'000'000 + now.tv_nsec / 1000;
#else
    return static_cast<std::int64_t>(std::clock()) * 1'000'000 / CLOCKS_PER_SEC; // the whole process
#endif
}

} // namespace

TimingProbe::TimingProbe(QObject *parent) : QObject(parent)
{
    if (!enabled())
        return;
    heartbeat_.setTimerType(Qt::PreciseTimer);
    connect(&heartbeat_, &QTimer::timeout, this, &TimingProbe::beat);
    heartbeat_.start(kHeartbeatMs);
    sinceBeat_.start();
    sinceReport_.start();
    lastBeatCpuUs_ = threadCpuUs();
}

bool TimingProbe::enabled()
{
    return lcTiming().isInfoEnabled();
}

std::int64_t TimingProbe::monotonicMs()
{
    // libstdc++'s steady_clock is CLOCK_MONOTONIC.
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void TimingProbe::crossingHandled(int seat, std::uint32_t hardwareMs)
{
    qCInfo(lcTiming, "crossing seat=%d hw=%u at=%lld", seat, hardwareMs, static_cast<long long>(monotonicMs()));
}

void TimingProbe::rowPainted(int row)
{
    qCInfo(lcTiming, "painted row=%d at=%lld", row, static_cast<long long>(monotonicMs()));
}

void TimingProbe::beat()
{
    const std::int64_t gapMs = sinceBeat_.restart();
    const std::int64_t cpuUs = threadCpuUs();
    if (gapMs > longestGapMs_) {
        longestGapMs_ = gapMs;
        longestGapCpuMs_ = (cpuUs - lastBeatCpuUs_) / 1000;
        longestGapEndMs_ = monotonicMs();
    }
    lastBeatCpuUs_ = cpuUs;
    if (sinceReport_.elapsed() < kReportPeriodMs)
        return;
    qCInfo(lcTiming, "loop longest-gap=%lld busy=%lld at=%lld", static_cast<long long>(longestGapMs_),
           static_cast<long long>(longestGapCpuMs_), static_cast<long long>(longestGapEndMs_));
    longestGapMs_ = 0;
    sinceReport_.restart();
}
