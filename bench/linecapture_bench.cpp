// The captured hardware line: one chunk written on the window's thread (it
// happens for every batch of bytes the serial port delivers, about 250 a
// second), and the capture of an 8-car, 100-lap race read back and made
// ready for a replay. The race's capture is made as the program makes it: on
// the track simulator's line the port delivers about 23 bytes every 4 ms, and
// every 350 ms poll purges the port.
#include "record/linecapture.h"
#include "replayscript.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kChunkEveryMs = 4;
constexpr std::size_t kChunkBytes = 23;
constexpr std::uint32_t kPollMs = 350;
// 100 laps of 5 s on average, and the countdown before them.
constexpr std::uint32_t kRaceMs = 515'000;

// A capture file of this process, removed when it goes.
struct CaptureFile {
    fs::path path = fs::temp_directory_path() / ("tramelo-capture-bench-" + std::to_string(::getpid()));
    ~CaptureFile() { fs::remove(path); }
};

std::unique_ptr<LineCaptureWriter> openCapture(const fs::path &file)
{
    return LineCaptureWriter::open(file, [](const std::string &reason) { throw std::runtime_error(reason); });
}

// The line at \a atMs: eight cars lapping in 4.5 to 5.5 s, the other channels never crossed.
std::string record(int channel, std::uint32_t atMs)
{
    std::uint32_t crossed = 0;
    if (channel <= 8) {
        const std::uint32_t lapMs = 4500 + 125 * static_cast<std::uint32_t>(channel);
        crossed = atMs >= 15'000 ? 15'000 + (atMs - 15'000) / lapMs * lapMs : 0;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%02d80000%010u\r\n", channel, crossed);
    return text;
}

void writeRaceCapture(const fs::path &file)
{
    auto writer = openCapture(file);
    std::string line;
    int channel = 1;
    for (std::uint32_t atMs = 0; atMs < kRaceMs; atMs += kChunkEveryMs) {
        while (line.size() < kChunkBytes) {
            line += record(channel, atMs);
            channel = channel % 32 + 1;
        }
        writer->bytesReceived(atMs, std::string_view(line).substr(0, kChunkBytes));
        line.erase(0, kChunkBytes);
        if (atMs % kPollMs < kChunkEveryMs)
            writer->purged(atMs);
    }
}

void BM_CaptureChunkWritten(benchmark::State &state)
{
    CaptureFile file;
    auto writer = openCapture(file.path);
    const std::string chunk = record(1, 20'000).substr(0, kChunkBytes);
    double longestUs = 0;
    std::uint32_t atMs = 0;
    for (auto _ : state) {
        const auto before = std::chrono::steady_clock::now();
        writer->bytesReceived(atMs += kChunkEveryMs, chunk);
        const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - before;
        longestUs = std::max(longestUs, took.count());
    }
    state.counters["longest_us"] = longestUs;
}
BENCHMARK(BM_CaptureChunkWritten)->Unit(benchmark::kMicrosecond);

void BM_RaceCaptureReadBack(benchmark::State &state)
{
    CaptureFile file;
    writeRaceCapture(file.path);
    for (auto _ : state) {
        const std::optional<LineCapture> capture = readLineCaptureFile(file.path);
        benchmark::DoNotOptimize(capture->chunks.size());
    }
    state.counters["file_MB"] = static_cast<double>(fs::file_size(file.path)) / 1e6;
}
BENCHMARK(BM_RaceCaptureReadBack)->Unit(benchmark::kMillisecond);

void BM_RaceCaptureMadeReadyForReplay(benchmark::State &state)
{
    CaptureFile file;
    writeRaceCapture(file.path);
    const std::optional<LineCapture> capture = readLineCaptureFile(file.path);
    for (auto _ : state) {
        const ReplayScript script = makeReplayScript(*capture, ChannelCrossing{1, 15'000});
        benchmark::DoNotOptimize(script.holdAt);
    }
}
BENCHMARK(BM_RaceCaptureMadeReadyForReplay)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
