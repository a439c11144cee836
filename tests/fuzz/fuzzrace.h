// A race played from fuzz input, as the main window drives it: settings
// given, every seat synchronised and started after the start signal, then
// blocks handed to the engine as the poll reads them, with the table's
// repaints, the row buttons and the race clock in between. After each step
// the state is checked against what must hold whatever the hardware sent or
// the settings file said; a broken rule aborts, and libFuzzer keeps the input.
#pragma once

#include "config/racesettings.h"
#include "engine/hardwarerecord.h"
#include "engine/raceengine.h"
#include "fuzzracehost.h"

#include <cstdint>
#include <string>
#include <string_view>

/// Hardware time of every seat's start crossing in FuzzRace::start.
inline constexpr std::uint32_t kStartCrossingMs = 1000;

/// A full block that holds the eight seats' records only, all at \a timestamp,
/// padded with blanks. The engine reads it like any full block, and a run
/// spends its time on the race rather than on channels without a seat.
std::string seatsBlock(std::uint32_t timestamp);
/// Puts a seat's latest report into its record of a seats block.
void writeSeatRecord(std::string &block, int seat, const ChannelReport &report);

/// Aborts the run with \a what when \a condition does not hold.
void require(bool condition, const char *what);

class FuzzRace {
public:
    explicit FuzzRace(const RaceSettings &settings);

    /// One block that synchronises the seats' channels, the start signal and
    /// the race screen, and one block in which every seat makes its start
    /// crossing at kStartCrossingMs.
    void start();
    /// A poll that read \a block (636 bytes, or fewer when the line was slow).
    void poll(std::string_view block);
    /// The table paints every row that waits for it.
    void paint();
    void pressButton(int command);
    /// The host clock moves on by \a ms and the race clock ticks.
    void clockTick(std::int32_t ms);

    /// The rules every race state keeps.
    void checkState() const;
    /// The race-end test and the results file's text: a header line and one
    /// line of five quoted fields per seat in use, names intact.
    void checkResults() const;

    const RaceSettings settings;
    FuzzRaceHost host;
    RaceEngine engine{settings, host};
};
