#include "engine/racestate.h"

std::optional<std::uint32_t> RacerState::lapReachedAt(std::int64_t laps) const
{
    if (laps < 0 || laps >= static_cast<std::int64_t>(lapReached.size()))
        return std::nullopt;
    return lapReached[static_cast<std::size_t>(laps)];
}

void RacerState::setLapReached(std::int64_t laps, std::uint32_t hardwareMs)
{
    if (laps < 0)
        return;
    const auto index = static_cast<std::size_t>(laps);
    if (index >= lapReached.size())
        lapReached.resize(index + 1);
    lapReached[index] = hardwareMs;
}

std::string nameCellText(const std::string &racerName)
{
    return racerName.empty() ? std::string("-1") : racerName;
}

Race::Race(const RaceSettings &settings)
{
    for (int seat = 0; seat < kSeatCount; ++seat)
        racers[seat].nameText = nameCellText(settings.racerName[seat]);
}

void Race::requestRepaint(int seat)
{
    if (state.raceScreenReady && state.repaintRow == kNoRow)
        state.repaintRow = seat;
    else
        state.queuedRepaintRow = seat;
}

void Race::repaintDone()
{
    state.repaintRow = state.queuedRepaintRow;
    state.queuedRepaintRow = kNoRow;
    state.refreshColumn = kNoRow;
}

bool Race::anySeatFinished() const
{
    for (const RacerState &racer : racers) {
        if (racer.flagCode == kFinishedFlag)
            return true;
    }
    return false;
}

std::optional<std::int32_t> Race::winnerRaceTimeMs() const
{
    for (const RacerState &racer : racers) {
        if (racer.rankText == "1" && racer.flagCode == kFinishedFlag && racer.raceTimeMs)
            return racer.raceTimeMs;
    }
    return std::nullopt;
}
