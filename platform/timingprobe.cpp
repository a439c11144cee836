#include "platform/timingprobe.h"

#include <algorithm>
#include <chrono>

// Off unless asked for: the heartbeat wakes the program 200 times a second.
Q_LOGGING_CATEGORY(lcTiming, "tramelo.timing", QtWarningMsg)

TimingProbe::TimingProbe(QObject *parent) : QObject(parent)
{
    if (!enabled())
        return;
    heartbeat_.setTimerType(Qt::PreciseTimer);
    connect(&heartbeat_, &QTimer::timeout, this, &TimingProbe::beat);
    heartbeat_.start(kHeartbeatMs);
    sinceBeat_.start();
    sinceReport_.start();
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
    longestGapMs_ = std::max<std::int64_t>(longestGapMs_, sinceBeat_.restart());
    if (sinceReport_.elapsed() < kReportPeriodMs)
        return;
    qCInfo(lcTiming, "loop longest-gap=%lld at=%lld", static_cast<long long>(longestGapMs_),
           static_cast<long long>(monotonicMs()));
    longestGapMs_ = 0;
    sinceReport_.restart();
}
