// The live board's view of the race: the race-wide phase and clock, and one
// entry per racer in order of position with the texts the race table's cells
// show, as the JSON document the board page and /api/race serve. Built from
// the engine's race state and the settings alone, so it never differs from
// the table and can be tested without a window.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

class LiveBests;
struct Race;
struct RaceSettings;

enum class RacePhase {
    BeforeStart, ///< no countdown yet (the window may be sliding down)
    Countdown,   ///< the start lights are counting
    Racing,      ///< the start signal has been given
    Finished,    ///< every racer has finished or is disqualified
};

RacePhase racePhase(const Race &race);
/// The phase's name in the document: "before", "countdown", "race", "finished".
std::string_view phaseName(RacePhase phase);

/// The whole board state; docs/board-api.md describes every field. With
/// \a bests, each racer's personal best and the track record before this
/// race, and the mark of a last lap that beat one of them.
nlohmann::json boardState(const Race &race, const RaceSettings &settings, const LiveBests *bests = nullptr);
/// The same as compact JSON text; bytes that are no UTF-8 (a damaged name)
/// become U+FFFD instead of failing the whole document.
std::string boardStateText(const Race &race, const RaceSettings &settings, const LiveBests *bests = nullptr);
