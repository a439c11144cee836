#include "web/boardstate.h"

#include "config/racesettings.h"
#include "display/tablecells.h"
#include "engine/duration.h"
#include "engine/racestate.h"
#include "record/livebests.h"

#include <algorithm>
#include <vector>

namespace {

// Until the race screen is up the table has not taken the names again, so
// names edited before the start are read from the settings, as the table
// will show them.
std::string shownName(const Race &race, const RaceSettings &settings, int seat)
{
    return race.state.raceScreenReady ? race.racers[seat].nameText : nameCellText(settings.racerName[seat]);
}

// Seats with a numeric place first, by place; then "GO", "!" and "( )" in
// seat order, as they read 0.
bool aheadOf(const Race &race, int left, int right)
{
    const std::int32_t leftPlace = settingToInt(race.racers[left].rankText);
    const std::int32_t rightPlace = settingToInt(race.racers[right].rankText);
    if ((leftPlace > 0) != (rightPlace > 0))
        return leftPlace > 0;
    if (leftPlace != rightPlace)
        return leftPlace < rightPlace;
    return left < right;
}

nlohmann::json lapJson(const std::optional<LapRecord> &lap)
{
    if (!lap)
        return nullptr;
    return {{"ms", lap->lapMs}, {"time", formatDuration(lap->lapMs)}, {"name", lap->name}};
}

nlohmann::json markJson(LapMark mark)
{
    switch (mark) {
    case LapMark::None: return nullptr;
    case LapMark::PersonalBest: return "personal";
    case LapMark::TrackRecord: return "record";
    }
    return nullptr;
}

nlohmann::json racerEntry(const RacerState &racer, int seat, const std::string &name, const LiveBests *bests)
{
    const RecordsBefore *records = bests && bests->records() ? &*bests->records() : nullptr;
    return {
        {"personalBest", records ? lapJson(records->personal[seat]) : nullptr},
        {"lapMark", bests ? markJson(bests->lastLapMark(seat)) : nullptr},
        {"seat", seat + 1},
        {"name", name},
        {"position", racer.rankText},
        {"laps", racer.lapsText},
        {"lastLap", racer.lastLapTimeText},
        {"bestLap", racer.bestLapTimeText},
        {"lastSpeed", shownValueText(racer, kLastSpeedColumn)},
        {"topSpeed", shownValueText(racer, kTopSpeedColumn)},
        {"gap", racer.gapText},
        {"tank", racer.tankText},
        {"flag", racer.flagCode},
    };
}

} // namespace

RacePhase racePhase(const Race &race)
{
    const RaceState &state = race.state;
    if (state.slidePhase == 0)
        return RacePhase::BeforeStart;
    if (state.slidePhase == 1)
        return RacePhase::Countdown;
    const bool anyInUse = std::any_of(race.racers.begin(), race.racers.end(), seatInUse);
    const bool allDone = std::all_of(race.racers.begin(), race.racers.end(), [](const RacerState &racer) {
        return !seatInUse(racer) || racer.disqualified || racer.flagCode == kFinishedFlag;
    });
    return anyInUse && allDone ? RacePhase::Finished : RacePhase::Racing;
}

std::string_view phaseName(RacePhase phase)
{
    switch (phase) {
    case RacePhase::BeforeStart: return "before";
    case RacePhase::Countdown: return "countdown";
    case RacePhase::Racing: return "race";
    case RacePhase::Finished: return "finished";
    }
    return "before";
}

nlohmann::json boardState(const Race &race, const RaceSettings &settings, const LiveBests *bests)
{
    std::vector<int> seats;
    for (int seat = 0; seat < kSeatCount; ++seat) {
        if (shownName(race, settings, seat) != kEmptySeatName)
            seats.push_back(seat);
    }
    std::sort(seats.begin(), seats.end(), [&race](int left, int right) { return aheadOf(race, left, right); });

    nlohmann::json racers = nlohmann::json::array();
    nlohmann::json fastest = nullptr;
    std::int32_t fastestMs = kNoBestLapMs;
    for (int seat : seats) {
        const RacerState &racer = race.racers[seat];
        const std::string name = shownName(race, settings, seat);
        racers.push_back(racerEntry(racer, seat, name, bests));
        // The better-placed racer keeps a tie: the table gives no other order.
        if (racer.bestLapMs < fastestMs && racer.bestLapTimeText != kNoValueText) {
            fastestMs = racer.bestLapMs;
            fastest = {{"seat", seat + 1},
                       {"name", name},
                       {"time", racer.bestLapTimeText},
                       {"speed", shownValueText(racer, kTopSpeedColumn)}};
        }
    }
    return {
        {"lapsPerRide", settings.lapsPerRide},
        {"clock", formatDuration(race.winnerRaceTimeMs().value_or(static_cast<std::int32_t>(race.state.raceElapsedMs)))},
        {"phase", phaseName(racePhase(race))},
        {"racers", std::move(racers)},
        {"fastestLap", std::move(fastest)},
        {"trackRecord", bests && bests->records() ? lapJson(bests->records()->track) : nullptr},
    };
}

std::string boardStateText(const Race &race, const RaceSettings &settings, const LiveBests *bests)
{
    return boardState(race, settings, bests).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}
