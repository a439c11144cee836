#include "record/racestandings.h"

#include "config/racesettings.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kSeats = 8;

// What the journal says of one seat besides its laps.
struct SeatHistory {
    std::optional<std::uint32_t> startHardwareMs;
    bool disqualified = false;
    bool finished = false;
    bool readmitted = false;
    /// The readmitting crossing; journals of older versions did not record it.
    std::optional<std::uint32_t> readmittedHardwareMs;
};

bool validSeat(int seat)
{
    return seat >= 0 && seat < kSeats;
}

// A difference of the hardware's wrapping 32-bit clock, as the engine takes
// lap times: right across the wrap.
std::int64_t hardwareSpan(std::uint32_t from, std::uint32_t to)
{
    return static_cast<std::int32_t>(to - from);
}

void applyEvents(const RaceLog &log, std::array<SeatHistory, kSeats> &history)
{
    for (const EventEntry &event : log.events) {
        if (!validSeat(event.seat))
            continue;
        SeatHistory &seat = history[static_cast<std::size_t>(event.seat)];
        switch (event.kind) {
        case EventKind::StartCrossing:
            if (!seat.startHardwareMs)
                seat.startHardwareMs = event.hardwareMs;
            break;
        case EventKind::Disqualified: seat.disqualified = true; break;
        case EventKind::Readmitted:
            seat.disqualified = false;
            seat.readmitted = true;
            seat.readmittedHardwareMs = event.hardwareMs != 0 ? std::optional(event.hardwareMs) : std::nullopt;
            break;
        case EventKind::Finished: seat.finished = true; break;
        default: break;
        }
    }
}

// Only a lap that raises the seat's count is a counted lap; anything else in
// a damaged or odd journal is left out rather than counted twice.
void collectLaps(const RaceLog &log, std::array<RacerStanding, kSeats> &racers)
{
    for (std::size_t order = 0; order < log.laps.size(); ++order) {
        const LapEntry &lap = log.laps[order];
        if (!validSeat(lap.seat))
            continue;
        RacerStanding &racer = racers[static_cast<std::size_t>(lap.seat)];
        const std::int64_t counted = racer.laps.empty() ? 0 : racer.laps.back().lap;
        if (lap.lap <= counted)
            continue;
        racer.laps.push_back(lap);
        racer.journalOrder.push_back(order);
    }
}

void summarise(RacerStanding &racer, const SeatHistory &history, std::int64_t lapsPerRide)
{
    const bool finished = history.finished || (lapsPerRide > 0 && !racer.laps.empty() && racer.laps.back().lap >= lapsPerRide);
    if (history.disqualified)
        racer.outcome = RacerOutcome::Disqualified;
    else if (finished)
        racer.outcome = RacerOutcome::Finished;
    else if (racer.laps.empty() && !history.startHardwareMs)
        racer.outcome = RacerOutcome::NotStarted;
    else
        racer.outcome = RacerOutcome::Running;
    if (racer.laps.empty())
        return;

    if (history.startHardwareMs) {
        racer.totalMs = hardwareSpan(*history.startHardwareMs, racer.laps.back().hardwareMs);
    } else {
        // A journal that lost its start crossing: the laps add up to the same.
        std::int64_t sum = 0;
        for (const LapEntry &lap : racer.laps)
            sum += lap.lapMs;
        racer.totalMs = sum;
    }
    for (std::size_t i = 0; i < racer.laps.size(); ++i) {
        const LapEntry &lap = racer.laps[i];
        if (!racer.bestLapIndex || lap.lapMs < racer.laps[*racer.bestLapIndex].lapMs)
            racer.bestLapIndex = i;
        racer.topSpeedKmh = std::max(racer.topSpeedKmh, lap.speedKmh);
    }
}

// Positions as the race table builds them: more laps first, and among equal
// laps whoever got there first on the lap counter's clock. A readmitted
// racer gets there only when readmitted, since the table places it as of its
// readmitting crossing (behind everyone on its count, when the journal does
// not say when that was).
std::vector<std::size_t> classification(const std::array<RacerStanding, kSeats> &racers,
                                        const std::array<SeatHistory, kSeats> &history)
{
    std::vector<std::size_t> placed;
    for (std::size_t seat = 0; seat < racers.size(); ++seat)
        if (!racers[seat].laps.empty() && racers[seat].outcome != RacerOutcome::Disqualified)
            placed.push_back(seat);
    const auto reachedAt = [&](std::size_t seat) -> std::optional<std::uint32_t> {
        const std::uint32_t lapAt = racers[seat].laps.back().hardwareMs;
        if (!history[seat].readmitted)
            return lapAt;
        const std::optional<std::uint32_t> readmittedAt = history[seat].readmittedHardwareMs;
        if (!readmittedAt)
            return std::nullopt;
        return hardwareSpan(lapAt, *readmittedAt) > 0 ? *readmittedAt : lapAt;
    };
    std::stable_sort(placed.begin(), placed.end(), [&](std::size_t a, std::size_t b) {
        const std::int64_t lapsA = racers[a].laps.back().lap;
        const std::int64_t lapsB = racers[b].laps.back().lap;
        if (lapsA != lapsB)
            return lapsA > lapsB;
        const std::optional<std::uint32_t> atA = reachedAt(a);
        const std::optional<std::uint32_t> atB = reachedAt(b);
        if (atA != atB) {
            if (!atA || !atB)
                return atA.has_value();
            return hardwareSpan(*atA, *atB) > 0;
        }
        return racers[a].journalOrder.back() < racers[b].journalOrder.back();
    });
    return placed;
}

const LapEntry *lapNumbered(const RacerStanding &racer, std::int64_t lap)
{
    const auto found = std::find_if(racer.laps.begin(), racer.laps.end(),
                                    [lap](const LapEntry &entry) { return entry.lap == lap; });
    return found == racer.laps.end() ? nullptr : &*found;
}

void measureGap(RacerStanding &racer, const RacerStanding &winner)
{
    const LapEntry &last = racer.laps.back();
    racer.lapsBehind = winner.laps.back().lap - last.lap;
    if (const LapEntry *winnersLap = lapNumbered(winner, last.lap))
        racer.gapMs = hardwareSpan(winnersLap->hardwareMs, last.hardwareMs);
}

std::optional<FastestLap> fastestLapOf(const std::vector<RacerStanding> &racers)
{
    std::optional<FastestLap> fastest;
    const LapEntry *fastestEntry = nullptr;
    for (const RacerStanding &racer : racers) {
        if (!racer.bestLapIndex)
            continue;
        const LapEntry &best = racer.laps[*racer.bestLapIndex];
        // On a tie the lap driven first keeps the mark.
        if (!fastestEntry || best.lapMs < fastestEntry->lapMs
            || (best.lapMs == fastestEntry->lapMs && best.hostMs < fastestEntry->hostMs)) {
            fastest = FastestLap{racer.seat, *racer.bestLapIndex};
            fastestEntry = &best;
        }
    }
    return fastest;
}

} // namespace

RaceStandings computeStandings(const RaceLog &log)
{
    RaceStandings standings;
    standings.lapsPerRide = settingToInt(log.lapsPerRide);

    std::array<RacerStanding, kSeats> racers;
    std::array<SeatHistory, kSeats> history;
    for (int seat = 0; seat < kSeats; ++seat) {
        racers[static_cast<std::size_t>(seat)].seat = seat;
        racers[static_cast<std::size_t>(seat)].name = log.racers[static_cast<std::size_t>(seat)].name;
    }
    applyEvents(log, history);
    collectLaps(log, racers);
    for (std::size_t seat = 0; seat < racers.size(); ++seat)
        summarise(racers[seat], history[seat], standings.lapsPerRide);

    const std::vector<std::size_t> placed = classification(racers, history);
    for (std::size_t place = 0; place < placed.size(); ++place) {
        RacerStanding &racer = racers[placed[place]];
        racer.position = static_cast<std::int32_t>(place + 1);
        if (place > 0)
            measureGap(racer, racers[placed.front()]);
    }
    for (std::size_t seat : placed)
        standings.racers.push_back(racers[seat]);
    // The rest in seat order: disqualified racers, and named seats without a lap.
    for (RacerStanding &racer : racers)
        if (racer.position == 0 && (!racer.name.empty() || !racer.laps.empty()))
            standings.racers.push_back(std::move(racer));
    standings.fastestLap = fastestLapOf(standings.racers);
    return standings;
}
