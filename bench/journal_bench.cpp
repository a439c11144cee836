// The race journal: writing one event on the calling thread (a lap, and a
// finish, whose forced write to the disk the background thread does while
// the caller goes on), and reading back the journal of an 8-car, 100-lap
// race, and the start-up's look at a races folder holding a 70 MiB runaway
// journal. The journals go to a temporary folder on the disk of /tmp.
#include "record/journalreader.h"
#include "record/journalwriter.h"
#include "record/recovery.h"
#include "record/startuprecovery.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "tramelo-journal-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw fs::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
        path = pattern;
    }
    ~TempFolder() { fs::remove_all(path); }
    fs::path path;
};

LapEntry lapOf(int seat, std::int64_t lap)
{
    return {seat, lap, static_cast<std::uint32_t>(10'000 + 5'000 * lap + 37 * seat), static_cast<std::int32_t>(5'000 * lap),
            5'037, 457, seat + 1, "0:05:037", " [ 0:00:" + std::to_string(100 + seat) + " ]", 8 - seat % 3};
}

std::unique_ptr<JournalWriter> openJournal(const fs::path &file)
{
    return JournalWriter::open(file, "2026-12-07 19:30:05",
                                       [](const std::string &reason) { throw std::runtime_error(reason); });
}

/// Each call timed on its own as well, for the longest one.
template <typename Write>
void timeEachCall(benchmark::State &state, Write write)
{
    TempFolder folder;
    auto writer = openJournal(folder.path / kJournalFileName);
    double longestUs = 0;
    std::int64_t lap = 0;
    for (auto _ : state) {
        const auto before = std::chrono::steady_clock::now();
        write(*writer, ++lap);
        const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - before;
        longestUs = std::max(longestUs, took.count());
    }
    state.counters["longest_us"] = longestUs;
}

void BM_WriteLapEvent(benchmark::State &state)
{
    timeEachCall(state, [](JournalWriter &writer, std::int64_t lap) {
        writer.lapCounted(lapOf(static_cast<int>(lap % 8), lap));
    });
}
BENCHMARK(BM_WriteLapEvent)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Every call asks for a forced write to the disk: the worst case for the caller.
void BM_WriteFinishEvent(benchmark::State &state)
{
    timeEachCall(state, [](JournalWriter &writer, std::int64_t lap) {
        writer.finished({static_cast<int>(lap % 8), lap, static_cast<std::int32_t>(lap)});
    });
}
BENCHMARK(BM_WriteFinishEvent)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same timing around no work at all: the longest call here is what the
// machine's scheduling alone costs, to set beside the two above.
void BM_NoWriteBaseline(benchmark::State &state)
{
    timeEachCall(state, [](JournalWriter &, std::int64_t lap) { benchmark::DoNotOptimize(lap); });
}
BENCHMARK(BM_NoWriteBaseline)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ReadBackRace(benchmark::State &state)
{
    TempFolder folder;
    const fs::path file = folder.path / kJournalFileName;
    {
        auto writer = openJournal(file);
        writer->raceSettings({"20", "32", "100", {"Adam", "Bára", "Cyril", "Dana", "Emil", "Filip", "Gita", "Hana"}}, 1000);
        writer->startSignal(1000);
        for (int seat = 0; seat < 8; ++seat)
            writer->startCrossing({seat, 0, 10'000}, 10'000);
        for (std::int64_t lap = 1; lap <= 100; ++lap) {
            for (int seat = 0; seat < 8; ++seat)
                writer->lapCounted(lapOf(seat, lap));
        }
        for (int seat = 0; seat < 8; ++seat)
            writer->finished({seat, 100, 600'000});
        writer->raceEnded(RaceEnd::Finished, 601'000);
    }
    std::size_t laps = 0;
    for (auto _ : state) {
        const std::optional<RaceLog> log = readJournalFile(file);
        laps = log ? log->laps.size() : 0;
        benchmark::DoNotOptimize(laps);
    }
    if (laps != 800)
        state.SkipWithError("the journal did not read back 800 laps");
    state.counters["journal_bytes"] = static_cast<double>(fs::file_size(file));
}
BENCHMARK(BM_ReadBackRace)->Unit(benchmark::kMillisecond);

class CountingMessages : public MessageSink {
public:
    MessageAnswer showMessage(const Message &) override
    {
        ++shown;
        return MessageAnswer::Ok;
    }
    int shown = 0;
};

/// A races folder with one race whose journal grew to 70 MiB of lap lines
/// without an end, as a runaway writer or a foreign file would leave it.
fs::path hugeJournalRace(const fs::path &racesDir)
{
    const fs::path folder = racesDir / "2026-12-07_19-30-05";
    fs::create_directories(folder);
    std::string lines = R"({"format":"tramelo-journal","version":1,"startedAt":"2026-12-07 19:30:05"})" "\n";
    const std::string lap = R"({"type":"lap","hostMs":15000,"seat":0,"lap":1,"hardwareMs":15000,"lapMs":5000,)"
                            R"("speedKmh":457,"position":1,"lapTimeText":"0:05:000","gapText":"","tank":8})" "\n";
    while (lines.size() < (std::size_t{70} << 20))
        lines += lap;
    std::FILE *file = std::fopen((folder / kJournalFileName).c_str(), "wb");
    if (!file || std::fwrite(lines.data(), 1, lines.size(), file) != lines.size() || std::fclose(file) != 0)
        throw std::runtime_error("cannot write the huge journal");
    return folder;
}

// The start-up's whole look at the races folder: find, announce, mark. The
// marker is taken away each time, so every iteration is a first start.
void BM_StartUpWithAHugeJournal(benchmark::State &state)
{
    TempFolder folder;
    const fs::path race = hugeJournalRace(folder.path);
    CountingMessages messages;
    for (auto _ : state) {
        fs::remove(race / kAnnouncedMarkerName);
        announceInterruptedRaces(folder.path, messages);
    }
    if (messages.shown != static_cast<int>(state.iterations()))
        state.SkipWithError("the huge journal was not announced at every first start");
    state.counters["journal_MiB"] = static_cast<double>(fs::file_size(race / kJournalFileName) >> 20);
}
BENCHMARK(BM_StartUpWithAHugeJournal)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// What reading such a journal as far as the limit costs, as every start did
// before (three times): the report and the replay still read it so.
void BM_ReadHugeJournalUpToItsLimit(benchmark::State &state)
{
    TempFolder folder;
    const fs::path race = hugeJournalRace(folder.path);
    for (auto _ : state)
        benchmark::DoNotOptimize(readJournalFile(race / kJournalFileName));
}
BENCHMARK(BM_ReadHugeJournalUpToItsLimit)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
