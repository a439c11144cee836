// Small texts of the race report and the laps table: durations from the
// hardware's clock, racer names and outcomes, the race's end, Czech plurals.
#pragma once

#include "record/racelog.h"
#include "record/racestandings.h"

#include <cstdint>
#include <string>

/// m:ss:mmm as the race table writes durations; longer spans stay exact.
std::string durationText(std::int64_t ms);
/// The racer's name, or "Závodník n" for a seat whose name was lost.
std::string seatName(int seat, const std::string &name);
inline std::string racerName(const RacerStanding &racer)
{
    return seatName(racer.seat, racer.name);
}
/// The dot in the racer's colour before its name.
std::string swatchHtml(int seat);
std::string outcomeText(RacerOutcome outcome);
std::string raceEndText(RaceEnd end);
/// "+0:00:500", "+1 kolo", "+3 kola (+0:21:500)"; empty for the winner.
std::string gapText(const RacerStanding &racer);
/// "2026-12-07 19:30:05" as "7. 12. 2026 19:30:05"; other text unchanged.
std::string czechDateTime(const std::string &startedAt);
