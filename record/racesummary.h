// What the archive's pages need of one race, taken from its journal: the
// track, how the race ended, and each racer's place, outcome and best lap
// that may stand as a personal best. The index stores these; the night,
// season and records pages are computed from them alone.
#pragma once

#include "record/racelog.h"
#include "record/racestandings.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct RaceResult {
    int seat = 0;
    std::string name;                     ///< as typed for the race
    std::int32_t position = 0;            ///< 0: none (disqualified, no lap)
    RacerOutcome outcome = RacerOutcome::NotStarted;
    std::int64_t laps = 0;
    bool fastestOfRace = false;           ///< drove the race's fastest lap
    /// The best lap that may stand as a record: not the first after a
    /// readmission and not one the car left the track in.
    std::optional<std::int32_t> bestLapMs;
    std::int64_t bestLapNumber = 0;
};

struct RaceSummary {
    std::string folder;                   ///< the race folder's name
    std::string startedAt;                ///< "2026-12-07 19:30:05"
    std::string trackLength;
    std::string scale;
    std::string lapsPerRide;
    RaceEnd end = RaceEnd::Open;
    bool excluded = false;                ///< left out of the points by the director
    int damagedLines = 0;
    std::vector<RaceResult> results;      ///< named seats and seats with laps, in standings order
};

/// Whether a lap counts towards records: not the first lap counted after
/// the seat was readmitted, nor a lap whose crossing reported the car off
/// the track (an offTrack event at that lap's count). Fed with the events
/// as they come, before the laps they touch, so a journal read later and a
/// race followed live decide alike.
class LapStandingRule {
public:
    void readmitted(int seat, std::int64_t lapCount) { readmittedAt_.emplace(seat, lapCount); }
    void leftTrack(int seat, std::int64_t lapCount) { offTrackAt_.emplace(seat, lapCount); }
    bool mayStand(const LapEntry &lap) const;

private:
    std::set<std::pair<int, std::int64_t>> readmittedAt_;
    std::set<std::pair<int, std::int64_t>> offTrackAt_;
};

/// LapStandingRule over a whole journal, one answer per lap.
std::vector<bool> lapsThatMayStand(const RaceLog &log);

RaceSummary summariseRace(const RaceLog &log, std::string folder);

/// "6:00 to 6:00": the night (YYYY-MM-DD, the evening's date) a start time
/// "YYYY-MM-DD HH:MM:SS" belongs to; empty for a text that is no such time.
std::string nightOf(const std::string &startedAt);

/// The track as a key and as shown: "20 m, 1:32".
std::string trackOf(const RaceSummary &race);
