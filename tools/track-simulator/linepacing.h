// What both ways of feeding the terminal share: the signals that end the
// simulator cleanly, writes that never block, the line's pace and the
// pacing sleep.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

/// SIGINT, SIGTERM and SIGHUP set the stop request and cut a sleep short.
void installStopHandlers();
bool stopRequested();

/// Writes what the terminal takes now of \a pending and drops it from there;
/// false on a real write error.
bool writeSome(int fd, std::string &pending);

/// Sleeps about \a ms, at least 1 and at most 50 ms.
void sleepMs(double ms);

/// The bytes the line may send by now at its bit rate (ten bits per byte:
/// start bit, eight data bits, stop bit). After a stall (a stopped process,
/// a blocked write) the line goes on at its pace instead of sending the
/// missed time in one burst.
class LinePace {
public:
    explicit LinePace(std::uint32_t baud);
    /// Adds the time since the last call to the budget.
    void advance();
    /// Spends \a bytes of the budget if it holds them.
    bool take(std::size_t bytes);
    /// Milliseconds until the budget holds \a bytes.
    double msUntil(std::size_t bytes) const;

private:
    using Clock = std::chrono::steady_clock;
    double bytesPerMs_;
    double burstLimit_;
    double budget_ = 0;
    Clock::time_point last_ = Clock::now();
};
