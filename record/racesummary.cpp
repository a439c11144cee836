#include "record/racesummary.h"

#include <chrono>
#include <cstdio>

bool LapStandingRule::mayStand(const LapEntry &lap) const
{
    // The crossing that reports leaving the track also counts the lap, and
    // its event comes first with the count already raised.
    return lap.lapMs > 0 && !readmittedAt_.count({lap.seat, lap.lap - 1}) && !offTrackAt_.count({lap.seat, lap.lap});
}

std::vector<bool> lapsThatMayStand(const RaceLog &log)
{
    LapStandingRule rule;
    for (const EventEntry &event : log.events) {
        if (event.kind == EventKind::Readmitted)
            rule.readmitted(event.seat, event.lap);
        else if (event.kind == EventKind::OffTrack)
            rule.leftTrack(event.seat, event.lap);
    }
    std::vector<bool> stands(log.laps.size(), true);
    for (std::size_t i = 0; i < log.laps.size(); ++i)
        stands[i] = rule.mayStand(log.laps[i]);
    return stands;
}

RaceSummary summariseRace(const RaceLog &log, std::string folder)
{
    RaceSummary race;
    race.folder = std::move(folder);
    race.startedAt = log.startedAt;
    race.trackLength = log.trackLength;
    race.scale = log.scale;
    race.lapsPerRide = log.lapsPerRide;
    race.end = log.end;
    race.damagedLines = log.damagedLines;

    const RaceStandings standings = computeStandings(log);
    const std::vector<bool> stands = lapsThatMayStand(log);
    for (const RacerStanding &racer : standings.racers) {
        RaceResult result;
        result.seat = racer.seat;
        result.name = racer.name;
        result.position = racer.position;
        result.outcome = racer.outcome;
        result.laps = racer.laps.empty() ? 0 : racer.laps.back().lap;
        result.fastestOfRace = standings.fastestLap && standings.fastestLap->seat == racer.seat;
        for (std::size_t i = 0; i < racer.laps.size(); ++i) {
            if (!stands[racer.journalOrder[i]])
                continue;
            const LapEntry &lap = racer.laps[i];
            if (!result.bestLapMs || lap.lapMs < *result.bestLapMs) {
                result.bestLapMs = lap.lapMs;
                result.bestLapNumber = lap.lap;
            }
        }
        race.results.push_back(std::move(result));
    }
    return race;
}

std::string nightOf(const std::string &startedAt)
{
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    int hour = 0;
    if (startedAt.size() < 13 || std::sscanf(startedAt.c_str(), "%4d-%2u-%2u %2d", &year, &month, &day, &hour) != 4)
        return {};
    std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
    if (!date.ok() || hour < 0 || hour > 23)
        return {};
    // A race after midnight belongs to the evening before.
    if (hour < 6)
        date = std::chrono::year_month_day{std::chrono::sys_days{date} - std::chrono::days{1}};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::string trackOf(const RaceSummary &race)
{
    return race.trackLength + " m, 1:" + race.scale;
}
