#include "engine/racestate.h"

std::int32_t RacerState::lapClockAt(std::int64_t laps) const
{
    if (laps < 0 || laps >= static_cast<std::int64_t>(lapClock.size()))
        return 0;
    return lapClock[static_cast<std::size_t>(laps)];
}

void RacerState::setLapClock(std::int64_t laps, std::int32_t hostClockMs)
{
    if (laps < 0)
        return;
    const auto index = static_cast<std::size_t>(laps);
    if (index >= lapClock.size())
        lapClock.resize(index + 1, 0);
    lapClock[index] = hostClockMs;
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
