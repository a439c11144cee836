// Race journals built by hand for the report tests: named seats, start
// crossings and laps whose lap times follow from the hardware timestamps; and
// the number of lap rows a report page shows.
#pragma once

#include "record/racelog.h"

#include <cstddef>
#include <cstdint>
#include <string>

class ReportLog {
public:
    explicit ReportLog(const std::string &lapsPerRide = "3")
    {
        log.startedAt = "2026-12-07 19:30:05";
        log.trackLength = "20";
        log.scale = "32";
        log.lapsPerRide = lapsPerRide;
        log.end = RaceEnd::Finished;
    }

    /// Seat \a seat is \a name and makes its start crossing at \a hardwareMs.
    ReportLog &racer(int seat, const std::string &name, std::uint32_t startMs)
    {
        log.racers[static_cast<std::size_t>(seat)] = {seat, name};
        event(EventKind::StartCrossing, seat, 0).hardwareMs = startMs;
        last_[seat] = startMs;
        return *this;
    }

    /// The seat's next lap ends at \a hardwareMs; the host clock follows the
    /// hardware clock so the order of reaching a lap count is the order of calls.
    ReportLog &lap(int seat, std::uint32_t hardwareMs, std::int32_t position)
    {
        LapEntry entry;
        entry.seat = seat;
        entry.lap = ++laps_[seat];
        entry.hardwareMs = hardwareMs;
        entry.lapMs = static_cast<std::int32_t>(hardwareMs - last_[seat]);
        entry.speedKmh = entry.lapMs > 0 ? 2'304'000 / entry.lapMs : 0;
        entry.position = position;
        entry.hostMs = ++hostMs_;
        last_[seat] = hardwareMs;
        log.laps.push_back(entry);
        return *this;
    }

    EventEntry &event(EventKind kind, int seat, std::int64_t lap)
    {
        log.events.push_back({kind, seat, lap, 0, ++hostMs_, {}});
        return log.events.back();
    }
    ReportLog &finish(int seat)
    {
        event(EventKind::Finished, seat, laps_[seat]);
        return *this;
    }

    RaceLog log;

private:
    std::int64_t laps_[8] = {};
    std::uint32_t last_[8] = {};
    std::int32_t hostMs_ = 0;
};

/// The body rows of the racers' lap tables in a report page.
inline std::size_t lapRowsOf(const std::string &html)
{
    const std::size_t begin = html.find("<section id=\"kola\">");
    const std::size_t end = html.find("</section>", begin);
    const std::string section = html.substr(begin, end - begin);
    std::size_t rows = 0;
    for (std::size_t at = section.find("<tr"); at != std::string::npos; at = section.find("<tr", at + 1))
        ++rows;
    std::size_t headers = 0;
    for (std::size_t at = section.find("<thead>"); at != std::string::npos; at = section.find("<thead>", at + 1))
        ++headers;
    return rows - headers;
}
