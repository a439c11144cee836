// The runtime records of the one race of a program run: ten ready-made table
// cells and a few numbers per seat, the latest decoded data per hardware
// channel, and the race-wide phase, clocks and repaint requests.
#pragma once

#include "config/racesettings.h"
#include "engine/geometry.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kSeatCount = 8;
inline constexpr int kChannelCount = 32;
inline constexpr int kNoRow = -1;
/// The flag code of a seat that has finished the race.
inline constexpr std::string_view kFinishedFlag = "2";
/// What a value cell shows before the seat has a value for it.
inline constexpr std::string_view kNoValueText = "...";
/// A seat's best lap before its first counted lap: longer than any lap.
inline constexpr std::int32_t kNoBestLapMs = 1'000'000'000;

struct RacerState {
    // The texts of table columns 1 to 10.
    std::string rankText = "( )";
    std::string nameText = "-1";
    std::string lapsText = "0";
    std::string lastLapTimeText{kNoValueText};
    std::string lastLapSpeedText{kNoValueText};
    std::string bestLapTimeText{kNoValueText};
    std::string bestSpeedText{kNoValueText};
    std::string gapText{kNoValueText};
    std::string tankText = "8";
    std::string flagCode = "1";

    std::int32_t bestLapMs = kNoBestLapMs;
    std::int32_t maxSpeedKmh = 0;
    bool disqualified = false;
    bool readmitRequested = false;
    bool disqualifyRequested = false;
    std::int32_t offTrackCount = 0;
    std::string logoStatusText;
    Rect logoRect;

    /// Hardware clock of the crossing that brought the lap count to \a laps
    /// (for a readmitted seat, of its readmission); nothing if it never did.
    std::optional<std::uint32_t> lapReachedAt(std::int64_t laps) const;
    /// Records it; the table grows with the race, so no lap count (however
    /// many laps a settings file asks for) is out of bounds.
    void setLapReached(std::int64_t laps, std::uint32_t hardwareMs);

    /// Hardware clock of the seat's first start crossing, the race report's
    /// start reference too.
    std::optional<std::uint32_t> startHardwareMs;
    /// From the start crossing to the finishing crossing on the hardware clock.
    std::optional<std::int32_t> raceTimeMs;

private:
    std::vector<std::optional<std::uint32_t>> lapReached = std::vector<std::optional<std::uint32_t>>(101);
};

/// True when hardware time \a a comes before \a b on the wrapping 32-bit
/// clock (they lie less than 2^31 ms apart in any race).
inline bool hardwareBefore(std::uint32_t a, std::uint32_t b)
{
    return static_cast<std::int32_t>(a - b) < 0;
}

/// The text a seat's name cell shows: the racer's name, or "-1" for a seat
/// that takes no part.
std::string nameCellText(const std::string &racerName);

struct ChannelState {
    /// Hardware clock of the last crossing: the device's 32-bit millisecond
    /// counter, which wraps; never 0 once decoded.
    std::uint32_t timestamp = 0;
    std::int32_t tankDigit = 0;
    std::int32_t eventDigit = 0;
    std::uint32_t lastTimestamp = 0;
    bool synced = false;
    bool started = false;
};

inline constexpr Rgb kLightOff{128, 0, 0};
inline constexpr Rgb kLightOn{255, 0, 0};

struct RaceState {
    std::int32_t slidePhase = 0;
    std::int32_t countdownTicks = 0;
    std::int32_t randomStartDelay = 0;
    std::int32_t lightsWindowCommand = 0;
    bool lightsWindowRequested = false;
    bool lightsGeometryReady = false;
    Rect lightsWindowRect;
    Rect lightsPanelRect;
    std::array<Rect, 5> lightRect{};
    std::array<Rgb, 5> lightBrush{kLightOff, kLightOff, kLightOff, kLightOff, kLightOff};
    bool lightsChanged = false;
    bool startSignalGiven = false;
    bool raceScreenReady = false;
    bool raceClockRunning = false;
    std::int32_t raceStartClock = 0;
    double raceElapsedMs = 0;
    std::int32_t repaintRow = kNoRow;
    std::int32_t queuedRepaintRow = kNoRow;
    std::int32_t refreshColumn = kNoRow;
    std::int32_t logoPhase = 0;
    std::int32_t pollPeriodMs = 350;
    std::string receiveBuffer;
};

/// Everything the engine keeps about the race.
struct Race {
    RaceState state;
    std::array<RacerState, kSeatCount> racers;
    std::array<ChannelState, kChannelCount> channels;

    /// The state built when the main window is made: initial cells with the
    /// racers' current names.
    explicit Race(const RaceSettings &settings);

    /// Asks for seat \a seat's row to be repainted, or queues it behind the
    /// row already waiting.
    void requestRepaint(int seat);
    /// The display's bookkeeping after a paint: the queued row moves up and
    /// the column refresh is done.
    void repaintDone();

    /// True once some seat has finished; a finished seat stays finished.
    bool anySeatFinished() const;
    /// The race time of the finished seat in first place, on the hardware
    /// clock; nothing before it finishes.
    std::optional<std::int32_t> winnerRaceTimeMs() const;
};
