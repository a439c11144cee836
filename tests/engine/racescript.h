// A race played block by block against the engine, as MainFrame drives it:
// the test sets what the lap counter reports, each poll hands the engine a
// 636-byte block built from it, and the display consumes the repaint
// requests. Sounds, messages, timers and the clock go through FakeRaceHost.
#pragma once

#include "engine/hardwarerecord.h"
#include "engine/raceengine.h"
#include "fakes/fakeracehost.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using Texts = std::vector<std::string>;

class RaceScript {
public:
    /// Factory settings with racers "Adam" and "Bára" over \a laps laps.
    static RaceSettings twoRacers(const std::string &laps = "5");

    explicit RaceScript(const RaceSettings &settings = twoRacers());

    /// What channel \a channel (1 to 32) reports from now on.
    void report(int channel, std::uint32_t timestamp, int tankDigit = 7, int eventDigit = 0);
    /// The block the hardware sends now.
    std::string block() const { return hardwareBlock(reports_); }
    /// One poll of the current block at the host clock as it stands.
    void poll() { engine.receiveBlock(block()); }
    /// The display paints every row that waits for it.
    void paint();

    /// The first block synchronises channels 1 to \a channels at timestamp 500.
    void synchronise(int channels = kChannelCount);
    /// The usual way into a race: every channel synchronised, the start
    /// signal given, the race screen up, and all seats make their start
    /// crossing at \a startMs in one block.
    void startRace(std::uint32_t startMs = 10'000);
    /// Seat \a seat crosses the line at hardware time \a timestamp: the
    /// display has painted what waited, and the host clock shows the same
    /// value when the block is polled.
    void cross(int seat, std::uint32_t timestamp, int tankDigit = 7, int eventDigit = 0);

    RacerState &racer(int seat) { return engine.race().racers[static_cast<std::size_t>(seat)]; }
    ChannelState &channel(int index) { return engine.race().channels[static_cast<std::size_t>(index)]; }
    RaceState &state() { return engine.state(); }
    /// One table column of the first \a seats seats, e.g. &RacerState::rankText.
    Texts column(std::string RacerState::*cell, int seats = kSeatCount);

    RaceSettings settings;
    FakeRaceHost host;
    RaceEngine engine;

private:
    std::array<ChannelReport, kChannelCount> reports_{};
};
