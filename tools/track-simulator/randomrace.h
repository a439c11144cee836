// A random race: the cars leave the grid together, lap in random times
// within the given range, burn a tank digit every few laps and refuel in a
// longer lap when it is empty, and now and then leave the track, which costs
// time and marks their next crossing with event digit 3.
#pragma once

#include "crossingsource.h"

#include <random>
#include <vector>

struct RandomRaceOptions {
    int cars = 8;
    std::uint32_t lapMinMs = 4000;
    std::uint32_t lapMaxMs = 7000;
    /// Simulator clock when the cars cross the line for the first time.
    std::uint32_t startMs = 20000;
    unsigned seed = 1;
};

class RandomRace : public CrossingSource {
public:
    explicit RandomRace(const RandomRaceOptions &options);
    std::optional<Crossing> nextDue(std::uint32_t nowMs) override;

private:
    struct Car {
        Crossing next;
        int lapsOnThisDigit = 0;
    };
    void scheduleNextLap(Car &car);
    std::uint32_t draw(std::uint32_t low, std::uint32_t high);

    RandomRaceOptions options_;
    std::mt19937 random_;
    std::vector<Car> cars_;
};
