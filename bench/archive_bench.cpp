// The archive's pages and index over a generated archive: 5 000 races of 8
// racers and 100 laps (TRAMELO_BENCH_RACES changes the count), about 20 races
// a night from a pool of 40 drivers. The archive is written once into a
// temporary folder; reindex reads every journal into a fresh index, the
// season and records benchmarks read every race from the index and build one
// page, the night page reads only the night's races and earlier bests.
#include "record/archivepages.h"
#include "record/raceindex.h"
#include "support/racejournalmaker.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Archive {
    ArchivePaths paths;
    int races = 0;
    std::string lastNight;

    Archive()
    {
        const char *count = std::getenv("TRAMELO_BENCH_RACES");
        races = count ? std::atoi(count) : 5000;
        std::string pattern = (fs::temp_directory_path() / "tramelo-archive-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        paths.dataDir = pattern;
        fs::create_directories(paths.races());
        std::mt19937 random(25);
        std::vector<std::string> pool;
        for (int i = 0; i < 40; ++i)
            pool.push_back("Jezdec " + std::to_string(i + 1));
        for (int r = 0; r < races; ++r) {
            // 20 races a night from 19:00, one night a week from 2020.
            const int night = r / 20;
            const int day = 1 + (night * 7) % 28;
            const int month = 1 + (night / 4) % 12;
            const int year = 2020 + night / 48;
            char startedAt[32];
            std::snprintf(startedAt, sizeof startedAt, "%04d-%02d-%02d %02d:%02d:00", year, month, day,
                          19 + (r % 20) / 4, (r % 4) * 15);
            std::shuffle(pool.begin(), pool.end(), random);
            std::vector<MadeRacer> racers;
            for (int seat = 0; seat < 8; ++seat) {
                MadeRacer racer{pool[static_cast<std::size_t>(seat)], {}, false};
                for (int lap = 0; lap < 100; ++lap)
                    racer.lapMs.push_back(4000 + static_cast<std::int32_t>(random() % 2000));
                racers.push_back(std::move(racer));
            }
            std::string folder = startedAt;
            folder[10] = '_';
            std::replace(folder.begin() + 11, folder.end(), ':', '-');
            fs::create_directory(paths.races() / folder);
            std::ofstream(paths.races() / folder / "journal.jsonl", std::ios::binary) << makeJournal(startedAt, racers);
            lastNight = nightOf(startedAt);
        }
    }
    ~Archive()
    {
        std::error_code ignored;
        fs::remove_all(paths.dataDir, ignored);
    }
};

Archive &archive()
{
    static Archive instance;
    return instance;
}

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
