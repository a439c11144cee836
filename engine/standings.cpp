// Positions, the leader and the gaps to the leader. They are not recomputed
// as a whole: each counted crossing places its seat and moves the others
// around it, so a position is the order of reaching the present lap count.
#include "engine/raceengine.h"

#include "engine/duration.h"

#include <algorithm>

namespace {

constexpr const char *kLeadingText = "- průběžné vedení -";

std::int64_t lapsOf(const RacerState &racer)
{
    return settingToInt(racer.lapsText);
}

std::int32_t positionOf(const RacerState &racer)
{
    return settingToInt(racer.rankText);
}

} // namespace

void RaceEngine::rankAfterLap(Crossing &crossing)
{
    RacerState &racer = race_.racers[crossing.seat];
    const std::int64_t laps = lapsOf(racer);
    std::int32_t ahead = 0;
    for (int j = 0; j < kSeatCount; ++j) {
        const RacerState &other = race_.racers[j];
        if (j != crossing.seat && lapsOf(other) >= laps && positionOf(other) > ahead)
            ahead = positionOf(other);
    }
    racer.rankText = std::to_string(std::int64_t{ahead} + 1);

    for (int j = 0; j < kSeatCount; ++j) {
        const RacerState &candidate = race_.racers[j];
        const std::int64_t candidateLaps = lapsOf(candidate);
        if (candidate.disqualified || candidateLaps < 1)
            continue;
        if (candidateLaps > crossing.leaderLaps
            || (candidateLaps == crossing.leaderLaps
                && positionOf(candidate) < positionOf(race_.racers[crossing.leader]))) {
            crossing.leader = j;
            crossing.leaderLaps = candidateLaps;
        }
    }
}

void RaceEngine::updateGap(const Crossing &crossing)
{
    RacerState &racer = race_.racers[crossing.seat];
    const std::int64_t laps = lapsOf(racer);
    racer.setLapClock(laps, host_.hostClockMs());
    if (racer.disqualified)
        return;
    if (crossing.leaderLaps == 0 || crossing.leader == crossing.seat) {
        racer.gapText = kLeadingText;
        return;
    }
    // Host clock, not hardware time: the gap includes the polling delays.
    const std::int32_t sinceLeader = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(host_.hostClockMs())
        - static_cast<std::uint32_t>(race_.racers[crossing.leader].lapClockAt(laps)));
    const std::int64_t lapsBehind = crossing.leaderLaps - laps;
    racer.gapText = (lapsBehind > 0 ? std::to_string(lapsBehind) : std::string()) + " [ "
                    + formatDuration(sinceLeader) + " ]";
}

void RaceEngine::shiftPositions(const Crossing &crossing)
{
    const std::int64_t o = crossing.oldPosition;
    const std::int64_t n = crossing.newPosition;
    const std::int64_t lo = std::min(o, n);
    const std::int64_t hi = std::max(o, n);
    const bool movedBack = o <= n;
    for (int j = 0; j < kSeatCount; ++j) {
        RacerState &other = race_.racers[j];
        const std::int64_t r = positionOf(other);
        if (r + (movedBack ? 1 : 0) >= lo && r + (movedBack ? 0 : 1) <= hi && j != crossing.seat && r > 0
            && !crossing.suppressShift)
            other.rankText = std::to_string(movedBack ? r - 1 : r + 1);
        if (n > 32 && positionOf(other) == 1)
            other.gapText = kLeadingText;
        if ((n == 1 || (o == 1 && positionOf(other) != 1)) && crossing.leader != -1 && crossing.leader != j
            && !other.disqualified)
            other.gapText = kNoValueText;
    }
}
