// The records a race sets out to beat, over the generated archive: the
// lookup of eight drivers' personal bests and the track record before a race,
// done once at the start command on the archive's worker, and the mark of
// one counted lap against them, done on the window's thread for every lap.
#include "generatedarchive.h"
#include "record/lapbests.h"
#include "record/raceindex.h"

#include <benchmark/benchmark.h>

namespace {

RecordedSettings eightDrivers(int first)
{
    RecordedSettings settings{"20", "32", "100", {}};
    for (int seat = 0; seat < 8; ++seat)
        settings.racerNames[static_cast<std::size_t>(seat)] = "Jezdec " + std::to_string((first + seat) % 40 + 1);
    return settings;
}

// With the index open and up to date, as the worker has it after a race.
void BM_RecordsBeforeRace(benchmark::State &state)
{
    Archive &a = archive();
    RaceIndex index(a.paths.races(), a.paths.index());
    if (!index.open())
        state.SkipWithError("open failed");
    DriverBook book;
    int first = 0;
    for (auto _ : state) {
        // Before the archive's last night: most of the archive counts.
        benchmark::DoNotOptimize(recordsBefore(index, book, eightDrivers(first++), a.lastNight + "_19-00-00"));
    }
}
BENCHMARK(BM_RecordsBeforeRace)->Unit(benchmark::kMicrosecond);

// As the start command's job does it: the index opened (and checked against
// the race folders) first.
void BM_LookUpRecordsBeforeRace(benchmark::State &state)
{
    Archive &a = archive();
    int first = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(lookUpRecordsBefore(a.paths, eightDrivers(first++), a.lastNight + "_19-00-00"));
}
BENCHMARK(BM_LookUpRecordsBeforeRace)->Unit(benchmark::kMillisecond);

// One counted lap marked against the records: what the window's thread does.
void BM_MarkCountedLap(benchmark::State &state)
{
    Archive &a = archive();
    RaceIndex index(a.paths.races(), a.paths.index());
    if (!index.open())
        state.SkipWithError("open failed");
    const RecordsBefore records = recordsBefore(index, DriverBook{}, eightDrivers(0), a.lastNight + "_19-00-00");
    BestLapMarker marker(records);
    std::int32_t lapMs = 6000;
    int seat = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(marker.lapCounted(seat, lapMs, true));
        seat = (seat + 1) % 8;
        lapMs = lapMs > 3000 ? lapMs - 1 : 6000;
    }
}
BENCHMARK(BM_MarkCountedLap)->Unit(benchmark::kNanosecond);

} // namespace

BENCHMARK_MAIN();
