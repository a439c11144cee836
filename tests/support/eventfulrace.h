// A short race that has every kind of event, played against the engine with
// a recorder attached: a false start answered Yes, the countdown to the start
// signal, three racers over three laps with fuel warnings, leaving the track,
// a disqualification, a readmission and three finishes. It gives back each
// counted lap as the table showed it once the crossing was done.
#pragma once

#include "engine/racerecorder.h"
#include "engine/racescript.h"

#include <gtest/gtest.h>

#include <vector>

namespace eventfulrace {

inline constexpr int kDisqualify2 = 3105;
inline constexpr int kReadmit2 = 3104;

inline RaceSettings settings()
{
    RaceSettings settings = RaceScript::twoRacers("3");
    settings.racerName[2] = "Cyril";
    settings.autoOffTrackCounting = "1";
    return settings;
}

/// The countdown as MainFrame drives it, the clock going 100 ms a tick, with
/// seat 2 crossing the line before the start signal.
inline void countDown(RaceScript &script)
{
    script.synchronise(3);
    script.host.randomValue = 0; // the shortest start delay
    script.host.expectMessage("Byl zaznamenán ulitý start [Cyril]. Přejete si informaci anulovat a pokračovat?",
                              MessageAnswer::Yes);
    for (int tick = 0; script.state().lightsWindowCommand != 2; ++tick) {
        ASSERT_LT(tick, 200) << "no start signal";
        script.host.clockMs = 1000 + 100 * tick;
        if (tick == 12) {
            script.report(3, 700);
            script.poll();
        }
        script.engine.countdownTick(1280, 1024);
        if (script.state().lightsWindowCommand == 1)
            script.state().lightsWindowCommand = 0; // the lights window is up
    }
    script.state().startSignalGiven = true;
    script.engine.enterRaceScreen();
}

/// The table's cells of \a seat after a crossing that counted lap time \a lapMs.
inline LapEntry tableLap(RaceScript &script, int seat, std::int32_t lapMs)
{
    const RacerState &racer = script.racer(seat);
    return {seat,
            settingToInt(racer.lapsText),
            script.channel(seat).timestamp,
            script.host.clockMs,
            lapMs,
            settingToInt(racer.lastLapSpeedText),
            settingToInt(racer.rankText),
            racer.lastLapTimeText,
            racer.gapText,
            settingToInt(racer.tankText)};
}

/// Plays the race on \a script (built on settings()) and returns the laps as the table showed them.
inline std::vector<LapEntry> play(RaceScript &script)
{
    std::vector<LapEntry> laps;
    countDown(script);
    for (int seat = 0; seat < 3; ++seat)
        script.report(seat + 1, 10'000);
    script.host.clockMs = 10'000;
    script.poll();

    std::array<std::uint32_t, 3> last{10'000, 10'000, 10'000};
    auto cross = [&](int seat, std::uint32_t at, int tankDigit = 7, int eventDigit = 0) {
        const std::string lapsBefore = script.racer(seat).lapsText;
        script.cross(seat, at, tankDigit, eventDigit);
        if (script.racer(seat).lapsText != lapsBefore)
            laps.push_back(tableLap(script, seat, static_cast<std::int32_t>(at - last[seat])));
        last[seat] = at;
    };
    cross(0, 15'000);
    cross(1, 15'400, 1);        // tank 2: fuel low
    script.engine.racerButtonCommand(kDisqualify2);
    cross(2, 16'000);           // lap counted, then disqualified
    cross(0, 20'000, 7, 3);     // off the track
    script.engine.racerButtonCommand(kReadmit2);
    cross(2, 21'000);           // readmitted, no lap
    cross(1, 21'500, 0);        // tank 1: fuel empty
    cross(0, 25'000);           // finish
    cross(2, 26'500);
    cross(1, 27'000);           // finish
    cross(2, 31'000);           // finish
    script.paint();
    return laps;
}

} // namespace eventfulrace
