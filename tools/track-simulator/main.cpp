// track-simulator: stands in for the lap-counting hardware on a
// pseudo-terminal. It prints the terminal's device path as the first line of
// standard output and then streams, at the pace of the line's bit rate, one
// 19-byte record per channel for channels 01 to 32 in turn:
//
//   CC T E 000 TTTTTTTTTT CR LF   (without the blanks)
//   CC         channel, 01 to 32
//   T          tank digit, 9 = full
//   E          event digit, 3 = this crossing came after leaving the track
//   000        filler
//   TTTTTTTTTT the channel's last crossing in ms of the simulator's clock,
//              which starts at 0 when the simulator starts; 0 = never crossed
//
// A record changes only when its car crosses the line. The cars come from a
// random race (the default: eight cars) or from a scenario file; or the line
// a race folder of Tramelo captured is played again (--replay, replay.h).
//
// Scenario file (--scenario FILE): one crossing per line, four decimal
// numbers separated by blanks:
//
//   time-ms channel tank-digit event-digit
//
// time-ms is the simulator's clock at the crossing (and becomes the record's
// timestamp), channel is 1 to 32, the digits are 0 to 9. Text after '#' and
// empty lines are ignored; lines may come in any order. Example:
//
//   # channel 1 leaves the grid at 5 s, laps in 4.2 s, then leaves the track
//   5000  1 9 0
//   9200  1 9 0
//   15400 1 8 3
//
// After the last crossing the records keep streaming unchanged. SIGINT,
// SIGTERM and SIGHUP end the simulator cleanly (the link is removed).
#include "linepacing.h"
#include "options.h"
#include "pseudoterminal.h"
#include "randomrace.h"
#include "replay.h"
#include "scenario.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <random>
#include <unistd.h>

namespace {

int stream(const PseudoTerminal &terminal, CrossingSource &crossings, std::uint32_t baud)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    LinePace pace(baud);
    ChannelBoard board;
    std::string pending;
    int channel = 1;
    while (!stopRequested()) {
        pace.advance();
        const auto clockMs = static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        while (const std::optional<Crossing> crossing = crossings.nextDue(clockMs))
            board.apply(*crossing);

        for (;;) {
            if (!pending.empty() && !writeSome(terminal.masterFd(), pending)) {
                std::perror("track-simulator: write");
                return 1;
            }
            if (!pending.empty() || !pace.take(kRecordBytes))
                break;
            pending = board.record(channel);
            channel = channel % kChannels + 1;
        }
        sleepMs(pending.empty() ? pace.msUntil(kRecordBytes) : 2.0);
    }
    return 0;
}

std::unique_ptr<CrossingSource> makeCrossings(SimulatorOptions &options)
{
    if (!options.scenarioPath.empty()) {
        std::ifstream file(options.scenarioPath);
        if (!file) {
            std::fprintf(stderr, "track-simulator: cannot read %s\n", options.scenarioPath.c_str());
            return nullptr;
        }
        auto scenario = std::make_unique<Scenario>();
        std::string error;
        if (!scenario->read(file, error)) {
            std::fprintf(stderr, "track-simulator: %s: %s\n", options.scenarioPath.c_str(), error.c_str());
            return nullptr;
        }
        return scenario;
    }
    if (!options.seedGiven)
        options.race.seed = std::random_device{}();
    std::fprintf(stderr, "track-simulator: random race of %d cars, seed %u\n", options.race.cars,
                 options.race.seed);
    return std::make_unique<RandomRace>(options.race);
}

} // namespace

int main(int argc, char **argv)
{
    SimulatorOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "track-simulator: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (options.helpRequested) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::optional<ReplayScript> replayScript;
    std::unique_ptr<CrossingSource> crossings;
    if (!options.replayFolder.empty()) {
        replayScript = loadReplay(options.replayFolder, error);
        if (!replayScript) {
            std::fprintf(stderr, "track-simulator: %s\n", error.c_str());
            return 2;
        }
    } else if (!(crossings = makeCrossings(options))) {
        return 2;
    }

    installStopHandlers();
    PseudoTerminal terminal;
    if (!terminal.open(error) || (!options.linkPath.empty() && !terminal.link(options.linkPath, error))) {
        std::fprintf(stderr, "track-simulator: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", terminal.devicePath().c_str());
    std::fflush(stdout);
    if (replayScript)
        return replay(terminal, *replayScript, options.goFile, options.baud);
    return stream(terminal, *crossings, options.baud);
}
