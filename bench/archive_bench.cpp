// The archive's pages and index over a generated archive (generatedarchive.h):
// reindex reads every journal into a fresh index, the season and records
// benchmarks read every race from the index and build one page, the night
// page reads only the night's races and earlier bests.
#include "generatedarchive.h"
#include "record/raceindex.h"

#include <benchmark/benchmark.h>

namespace {

LoadedArchive loaded()
{
    std::optional<LoadedArchive> loaded = loadArchive(archive().paths);
    if (!loaded)
        std::abort();
    return std::move(*loaded);
}

void BM_Reindex(benchmark::State &state)
{
    Archive &a = archive();
    for (auto _ : state) {
        RaceIndex index(a.paths.races(), a.paths.index());
        IndexReport report;
        if (!index.rebuild(&report))
            state.SkipWithError("rebuild failed");
        benchmark::DoNotOptimize(report.indexed);
    }
    state.counters["races"] = a.races;
}
BENCHMARK(BM_Reindex)->Unit(benchmark::kSecond)->Iterations(1);

// Opening an up-to-date index and reading every race from it: the part of
// each page that is not the page itself.
void BM_LoadArchive(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(loaded().races.size());
}
BENCHMARK(BM_LoadArchive)->Unit(benchmark::kMillisecond);

void BM_SeasonPage(benchmark::State &state)
{
    for (auto _ : state) {
        const LoadedArchive a = loaded();
        const SeasonRules rules = SeasonRules::calendarYear(std::stoi(archive().lastNight.substr(0, 4)));
        benchmark::DoNotOptimize(seasonPage(a.races, a.book, rules).html.size());
    }
}
BENCHMARK(BM_SeasonPage)->Unit(benchmark::kMillisecond);

// The night page as the command and the worker make it: the index opened,
// the night's races and its drivers' earlier bests read from it.
void BM_NightPage(benchmark::State &state)
{
    loaded();
    for (auto _ : state) {
        std::optional<LoadedArchive> a = loadArchive(archive().paths, nullptr, {}, false);
        if (!a)
            std::abort();
        benchmark::DoNotOptimize(nightPage(*a->raceIndex, a->book, archive().lastNight, "../races/").html.size());
    }
}
BENCHMARK(BM_NightPage)->Unit(benchmark::kMillisecond);

void BM_RecordsPage(benchmark::State &state)
{
    for (auto _ : state) {
        const LoadedArchive a = loaded();
        benchmark::DoNotOptimize(recordsPage(a.races, a.book, "../races/").html.size());
    }
}
BENCHMARK(BM_RecordsPage)->Unit(benchmark::kMillisecond);

// A driver's personal best and the track record, as a counted lap would ask
// them of an up-to-date index.
void BM_PersonalBestLookup(benchmark::State &state)
{
    Archive &a = archive();
    loaded();
    RaceIndex index(a.paths.races(), a.paths.index());
    IndexReport report;
    if (!index.open(&report))
        state.SkipWithError("open failed");
    DriverBook book;
    int driver = 0;
    for (auto _ : state) {
        const std::string name = "Jezdec " + std::to_string(driver++ % 40 + 1);
        benchmark::DoNotOptimize(index.bestLap("20", "32", book.keysOf(name)));
        benchmark::DoNotOptimize(index.bestLap("20", "32"));
    }
}
BENCHMARK(BM_PersonalBestLookup)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
