#include "randomrace.h"

#include <algorithm>

namespace {

constexpr int kLapsPerTankDigit = 3;
constexpr std::uint32_t kRefuelMs = 3000;
constexpr std::uint32_t kGridStaggerMs = 400;
// One lap in this many ends off the track.
constexpr std::uint32_t kOffTrackOdds = 12;
constexpr std::uint32_t kOffTrackMinMs = 1500;
constexpr std::uint32_t kOffTrackMaxMs = 4000;

} // namespace

RandomRace::RandomRace(const RandomRaceOptions &options)
    : options_(options), random_(options.seed)
{
    for (int channel = 1; channel <= options_.cars; ++channel) {
        Car car;
        car.next = {options_.startMs + draw(0, kGridStaggerMs), channel, kFullTank, 0};
        cars_.push_back(car);
    }
}

std::uint32_t RandomRace::draw(std::uint32_t low, std::uint32_t high)
{
    return std::uniform_int_distribution<std::uint32_t>(low, high)(random_);
}

std::optional<Crossing> RandomRace::nextDue(std::uint32_t nowMs)
{
    const auto earliest = std::min_element(cars_.begin(), cars_.end(), [](const Car &a, const Car &b) {
        return a.next.timeMs < b.next.timeMs;
    });
    if (earliest == cars_.end() || earliest->next.timeMs > nowMs)
        return std::nullopt;
    const Crossing due = earliest->next;
    scheduleNextLap(*earliest);
    return due;
}

void RandomRace::scheduleNextLap(Car &car)
{
    Crossing &next = car.next;
    next.timeMs += draw(options_.lapMinMs, options_.lapMaxMs);
    next.eventDigit = 0;
    if (next.tankDigit == 0) {
        next.timeMs += kRefuelMs;
        next.tankDigit = kFullTank;
        car.lapsOnThisDigit = 0;
    } else if (++car.lapsOnThisDigit == kLapsPerTankDigit) {
        --next.tankDigit;
        car.lapsOnThisDigit = 0;
    }
    if (draw(1, kOffTrackOdds) == 1) {
        next.timeMs += draw(kOffTrackMinMs, kOffTrackMaxMs);
        next.eventDigit = kOffTrackEvent;
    }
}
