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
    /// Factory settings (off-track counting off) with racers "Adam" and "Bára" over \a laps laps.
    static RaceSettings twoRacers(const std::string &laps = "5")
    {
        RaceSettings settings;
        applyFactorySettings(settings);
        settings.racerName[0] = "Adam";
        settings.racerName[1] = "Bára";
        settings.lapsPerRide = laps;
        return settings;
    }

    explicit RaceScript(const RaceSettings &raceSettings = twoRacers()) : settings(raceSettings), engine(settings, host)
    {
    }

    /// What channel \a channel (1 to 32) reports from now on.
    void report(int channel, std::uint32_t timestamp, int tankDigit = 7, int eventDigit = 0)
    {
        reports_[static_cast<std::size_t>(channel - 1)] = {timestamp, tankDigit, eventDigit};
    }
    /// The block the hardware sends now.
    std::string block() const { return hardwareBlock(reports_); }
    /// One poll of the current block at the host clock as it stands.
    void poll() { engine.receiveBlock(block()); }
    /// The display paints every row that waits for it.
    void paint()
    {
        while (state().repaintRow != kNoRow)
            engine.race().repaintDone();
    }
    /// The repaint timer's ticks until nothing waits: each paints the row
    /// waiting or hands the engine the block's next crossing.
    void repaintTicks()
    {
        for (;;) {
            if (state().repaintRow != kNoRow)
                engine.race().repaintDone();
            else if (!engine.scanCrossings())
                return;
        }
    }

    /// The first block synchronises channels 1 to \a channels at timestamp 500.
    void synchronise(int channels = kChannelCount)
    {
        for (int channel = 1; channel <= channels; ++channel)
            report(channel, 500);
        poll();
    }
    /// The usual way into a race: every channel synchronised, the start
    /// signal given, the race screen up, and all seats make their start
    /// crossing at \a startMs in one block.
    void startRace(std::uint32_t startMs = 10'000)
    {
        synchronise();
        state().startSignalGiven = true;
        engine.enterRaceScreen();
        for (int seat = 0; seat < kSeatCount; ++seat)
            report(seat + 1, startMs);
        host.clockMs = static_cast<std::int32_t>(startMs);
        poll();
        host.takeSounds();
    }
    /// Seat \a seat crosses the line at hardware time \a timestamp: the
    /// display has painted what waited, and the host clock shows the same
    /// value when the block is polled.
    void cross(int seat, std::uint32_t timestamp, int tankDigit = 7, int eventDigit = 0)
    {
        paint();
        report(seat + 1, timestamp, tankDigit, eventDigit);
        host.clockMs = static_cast<std::int32_t>(timestamp);
        poll();
    }

    RacerState &racer(int seat) { return engine.race().racers[static_cast<std::size_t>(seat)]; }
    ChannelState &channel(int index) { return engine.race().channels[static_cast<std::size_t>(index)]; }
    RaceState &state() { return engine.state(); }
    /// One table column of the first \a seats seats, e.g. &RacerState::rankText.
    Texts column(std::string RacerState::*cell, int seats = kSeatCount)
    {
        Texts texts;
        for (int seat = 0; seat < seats; ++seat)
            texts.push_back(racer(seat).*cell);
        return texts;
    }

    RaceSettings settings;
    FakeRaceHost host;
    RaceEngine engine;

private:
    std::array<ChannelReport, kChannelCount> reports_{};
};
