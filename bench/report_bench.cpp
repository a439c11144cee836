// The race report of a long race: eight racers over 200 laps each, built from
// the race log as the journal reader gives it (standings, both charts, every
// lap, the events), and the laps table of the same race. The page's size is
// reported as a counter.
#include "record/lapscsv.h"
#include "record/racereport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

constexpr int kRacers = 8;
constexpr int kLaps = 200;

// Lap times of 4.6 to 5.4 s with an occasional stop, counted in the order of
// the crossings as the engine counts them; positions by laps, then arrival.
RaceLog longRace()
{
    RaceLog log;
    log.startedAt = "2026-12-07 19:30:05";
    log.trackLength = "20";
    log.scale = "32";
    log.lapsPerRide = std::to_string(kLaps);
    log.end = RaceEnd::Finished;
    std::mt19937 random(1);
    std::vector<LapEntry> laps;
    for (int seat = 0; seat < kRacers; ++seat) {
        log.racers[static_cast<std::size_t>(seat)] = {seat, "Závodník <" + std::to_string(seat + 1) + ">"};
        std::uint32_t at = 10'000 + 10 * static_cast<std::uint32_t>(seat);
        log.events.push_back({EventKind::StartCrossing, seat, 0, at, 10'000, {}});
        for (int lap = 1; lap <= kLaps; ++lap) {
            const auto lapMs = static_cast<std::int32_t>(4'600 + random() % 800 + (random() % 50 == 0 ? 6'000 : 0));
            at += static_cast<std::uint32_t>(lapMs);
            LapEntry entry;
            entry.seat = seat;
            entry.lap = lap;
            entry.hardwareMs = at;
            entry.hostMs = static_cast<std::int32_t>(at);
            entry.lapMs = lapMs;
            entry.speedKmh = 2'304'000 / lapMs;
            laps.push_back(entry);
        }
    }
    std::sort(laps.begin(), laps.end(), [](auto &a, auto &b) { return a.hardwareMs < b.hardwareMs; });
    for (LapEntry &lap : laps) {
        std::int32_t ahead = 0;
        for (const LapEntry *other = &laps.front(); other != &lap; ++other)
            ahead += other->lap == lap.lap ? 1 : 0;
        lap.position = ahead + 1;
        log.laps.push_back(lap);
        if (lap.lap == kLaps)
            log.events.push_back({EventKind::Finished, lap.seat, lap.lap, 0, lap.hostMs, {}});
    }
    return log;
}

// Builds the file with \a build on every iteration; its size becomes a counter.
template <std::string (*build)(const RaceLog &)>
void fileOfALongRace(benchmark::State &state)
{
    const RaceLog log = longRace();
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string file = build(log);
        size = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["bytes"] = static_cast<double>(size);
}
// The report as the race's end writes it when the archive knows no bests.
std::string reportWithoutMarks(const RaceLog &log)
{
    return raceReportHtml(log);
}
BENCHMARK(fileOfALongRace<reportWithoutMarks>)->Name("report.html")->Unit(benchmark::kMillisecond);
BENCHMARK(fileOfALongRace<lapsCsv>)->Name("laps.csv")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
