// Timestamps for measuring the running program from outside. When the logging
// category "tramelo.timing" is enabled (QT_LOGGING_RULES="tramelo.timing=true")
// the probe logs, on the monotonic clock that every process of the machine
// shares, each handled crossing, each finished row repaint, and once a second
// the longest the event loop went without turning, with the processor time
// its thread used meanwhile (a long gap with little of it was the machine
// running something else). Disabled, it costs one category check per call and
// starts no timer.
#pragma once

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QObject>
#include <QTimer>

#include <cstdint>

Q_DECLARE_LOGGING_CATEGORY(lcTiming)

class TimingProbe : public QObject {
    Q_OBJECT
public:
    /// Starts the event-loop heartbeat when the category is enabled.
    explicit TimingProbe(QObject *parent = nullptr);

    static bool enabled();
    /// Milliseconds of CLOCK_MONOTONIC, comparable with other processes'.
    static std::int64_t monotonicMs();

    /// "crossing seat=S hw=T at=M": the engine has handled seat S's crossing
    /// whose hardware timestamp is T.
    static void crossingHandled(int seat, std::uint32_t hardwareMs);
    /// "painted row=R at=M": row R of the race table has been painted.
    static void rowPainted(int row);

    static constexpr int kHeartbeatMs = 5;
    static constexpr int kReportPeriodMs = 1000;

private:
    void beat();

    QTimer heartbeat_{this};
    QElapsedTimer sinceBeat_;
    QElapsedTimer sinceReport_;
    std::int64_t lastBeatCpuUs_ = 0;
    std::int64_t longestGapMs_ = 0;
    std::int64_t longestGapCpuMs_ = 0;
    std::int64_t longestGapEndMs_ = 0;
};
