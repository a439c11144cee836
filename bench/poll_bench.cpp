// The poll path of every 350 ms tick: decoding a full 636-byte block into the
// 32 channels and scanning them for crossings, on a race of eight cars under
// way. Two cases: the usual tick where no car crossed, and a tick that counts
// a lap (ranking, gap, race events) before the display takes its repaint.
#include "engine/hardwarerecord.h"
#include "engine/raceengine.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

// The world around the engine, silent: a real host plays sounds and opens
// boxes, which the poll path only asks for.
class QuietHost : public RaceHost {
public:
    std::int32_t hostClockMs() override { return clockMs; }
    std::int64_t calendarSeconds() override { return 0; }
    void seedRandom(unsigned) override {}
    int nextRandom() override { return 0; }
    void playSound(const std::string &) override {}
    MessageAnswer showMessage(const Message &) override
    {
        ++messages;
        return MessageAnswer::Ok;
    }
    void startTimer(int, int) override {}
    void stopTimer(int) override {}
    void setWindowTitle(const std::string &) override {}
    void closeMainWindow() override {}

    std::int32_t clockMs = 0;
    int messages = 0;
};

RaceSettings eightRacers()
{
    RaceSettings settings;
    applyFactorySettings(settings);
    settings.racerName = {"Adam", "Bára", "Cyril", "Dana", "Emil", "Filip", "Gita", "Hana"};
    settings.lapsPerRide = "1000000"; // nobody finishes while the benchmark runs
    return settings;
}

// A race of eight cars ten laps in, on the race screen, fed block by block.
class RaceUnderWay {
public:
    RaceUnderWay() : engine_(settings_, host_)
    {
        for (ChannelReport &report : reports_)
            report.timestamp = 500;
        feed(); // synchronises
        engine_.state().startSignalGiven = true;
        engine_.enterRaceScreen();
        for (int seat = 0; seat < kSeatCount; ++seat)
            reports_[seat].timestamp = 10'000 + 10 * seat;
        feed(); // start crossings
        for (int lap = 0; lap < 10 * kSeatCount; ++lap)
            nextCrossing();
    }

    /// Polls the current block as it stands.
    void poll() { engine_.receiveBlock(block_); }

    /// The next car in turn crosses the line: its record in the block gets
    /// the new timestamp, the poll counts the lap and the display paints.
    void nextCrossing()
    {
        const int seat = crossings_++ % kSeatCount;
        reports_[seat].timestamp += 5000 + 100 * seat;
        host_.clockMs = static_cast<std::int32_t>(reports_[seat].timestamp);
        writeTimestamp(seat);
        poll();
        engine_.race().repaintDone();
    }

    int messages() const { return host_.messages; }

private:
    void feed()
    {
        block_ = hardwareBlock(reports_);
        poll();
    }

    // Patches the ten digits in place, as rebuilding the block would cost
    // more than the decoding measured.
    void writeTimestamp(int seat)
    {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%010u", reports_[seat].timestamp);
        constexpr std::size_t kRecordSize = 19;
        constexpr std::size_t kTimestampOffset = 7;
        std::memcpy(&block_[2 + kRecordSize * seat + kTimestampOffset], digits, 10);
        if (seat == 0) // channel 1 appears once more at the end of the block
            std::memcpy(&block_[2 + kRecordSize * kChannelCount + kTimestampOffset], digits, 10);
    }

    RaceSettings settings_ = eightRacers();
    QuietHost host_;
    RaceEngine engine_;
    std::array<ChannelReport, kChannelCount> reports_{};
    std::string block_;
    int crossings_ = 0;
};

void pollWithoutCrossing(benchmark::State &state)
{
    RaceUnderWay race;
    for (auto _ : state)
        race.poll();
    state.counters["messages"] = race.messages();
}

void pollCountingALap(benchmark::State &state)
{
    RaceUnderWay race;
    for (auto _ : state)
        race.nextCrossing();
    state.counters["messages"] = race.messages();
}

} // namespace

BENCHMARK(pollWithoutCrossing);
BENCHMARK(pollCountingALap);
BENCHMARK_MAIN();
