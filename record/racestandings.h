// The standings of a race worked out from its journal alone: each racer's
// counted laps, position, total race time and gap to the winner on the
// hardware's clock (exact to the millisecond), best lap, top speed and how
// the racer's race ended. The report and the laps table read them.
#pragma once

#include "record/racelog.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class RacerOutcome {
    Finished,
    Disqualified,
    Running,     ///< the race ended before this racer finished
    NotStarted,  ///< no start crossing and no lap
};

struct RacerStanding {
    int seat = 0;
    std::string name;
    std::vector<LapEntry> laps;           ///< counted laps in the order counted
    std::vector<std::size_t> journalOrder; ///< each counted lap's index in the journal's laps
    std::int32_t position = 0;            ///< 0: no position (disqualified or no lap)
    RacerOutcome outcome = RacerOutcome::NotStarted;
    /// From the start crossing to the last counted lap on the hardware clock.
    std::optional<std::int64_t> totalMs;
    /// Behind the winner: laps, and the time from the winner's completion of
    /// this racer's last lap to this racer's, on the hardware clock.
    std::int64_t lapsBehind = 0;
    std::optional<std::int64_t> gapMs;
    std::optional<std::size_t> bestLapIndex;   ///< into laps
    std::int32_t topSpeedKmh = 0;              ///< 0 as the table shows before any faster lap
};

struct FastestLap {
    int seat = 0;
    std::size_t lapIndex = 0;
};

struct RaceStandings {
    /// Racers with a position in position order, then the others in seat order.
    std::vector<RacerStanding> racers;
    std::optional<FastestLap> fastestLap;
    std::int64_t lapsPerRide = 0;
};

RaceStandings computeStandings(const RaceLog &log);
