// Positions, the leader and the gaps to the leader. They are not recomputed
// as a whole: each counted crossing places its seat and moves the others
// around it, so a position is the order of reaching the present lap count on
// the lap counter's clock, and a gap the difference of the two cars' times of
// reaching the same count.
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

// A car handled later can have reached the count earlier: a block is a
// snapshot of a stream that cycles through the cars. Equal times keep the
// car handled first ahead.
bool reachedLater(const RacerState &other, const RacerState &racer, std::int64_t laps)
{
    const std::optional<std::uint32_t> theirs = other.lapReachedAt(laps);
    const std::optional<std::uint32_t> mine = racer.lapReachedAt(laps);
    return theirs && mine && hardwareBefore(*mine, *theirs);
}

std::string gapBehind(const RacerState &racer, const RacerState &leader, std::int64_t leaderLaps)
{
    const std::int64_t laps = lapsOf(racer);
    const std::optional<std::uint32_t> mine = racer.lapReachedAt(laps);
    const std::optional<std::uint32_t> theirs = leader.lapReachedAt(laps);
    if (!mine || !theirs)
        return "...";
    const auto sinceLeader = static_cast<std::int32_t>(*mine - *theirs);
    const std::int64_t lapsBehind = leaderLaps - laps;
    return (lapsBehind > 0 ? std::to_string(lapsBehind) : std::string()) + " [ " + formatDuration(sinceLeader) + " ]";
}

} // namespace

void RaceEngine::rankAfterLap(Crossing &crossing)
{
    RacerState &racer = race_.racers[crossing.seat];
    const std::int64_t laps = lapsOf(racer);
    std::int32_t ahead = 0;
    for (int j = 0; j < kSeatCount; ++j) {
        const RacerState &other = race_.racers[j];
        if (j == crossing.seat || lapsOf(other) < laps
            || (lapsOf(other) == laps && reachedLater(other, racer, laps)))
            continue;
        ahead = std::max(ahead, positionOf(other));
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
    if (racer.disqualified)
        return;
    if (crossing.leaderLaps == 0 || crossing.leader == crossing.seat) {
        racer.gapText = kLeadingText;
        return;
    }
    racer.gapText = gapBehind(racer, race_.racers[crossing.leader], crossing.leaderLaps);
}

std::int32_t RaceEngine::firstPlaceFrom(const Crossing &crossing) const
{
    // A seat placed for the first time comes from behind every placed seat:
    // it pushes back only those that reached its lap count later than it did.
    std::int32_t last = 0;
    for (int j = 0; j < kSeatCount; ++j) {
        if (j != crossing.seat)
            last = std::max(last, positionOf(race_.racers[j]));
    }
    return last + 1;
}

void RaceEngine::placeAheadOfLaterFinishers(const Crossing &crossing)
{
    // A finishing crossing moves no one else, but a car that has finished
    // crosses no more to be placed again: one that finished later on the
    // track and was handled earlier (in an earlier block) goes back here.
    const std::int32_t position = crossing.newPosition;
    if (position <= 0)
        return;
    for (int j = 0; j < kSeatCount; ++j) {
        RacerState &other = race_.racers[j];
        if (j == crossing.seat || other.flagCode != kFinishedFlag || other.disqualified || positionOf(other) < position)
            continue;
        other.rankText = std::to_string(std::int64_t{positionOf(other)} + 1);
        if (crossing.leader != -1 && crossing.leader != j)
            other.gapText = gapBehind(other, race_.racers[crossing.leader], crossing.leaderLaps);
    }
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
