// What the race engine tells whoever keeps the race record: the settings in
// force and the start signal, every start crossing and counted lap, and every
// race event, as it happens. Every call is a notice only: a recorder changes
// nothing in the race and must not throw or open a modal box. The base class
// records nothing, which is what a race without a record uses.
#pragma once

#include <array>
#include <cstdint>
#include <string>

/// How a race's record ends.
enum class RaceEnd {
    Open,        ///< no end line: the program was killed, crashed or lost power
    Finished,    ///< every used seat finished or was disqualified
    Closed,      ///< the program was closed before the race was over
    Signalled,   ///< the system ended the program (SIGTERM, SIGINT, SIGHUP)
    Interrupted, ///< found open at a later start-up and marked so
};

struct LapEntry {
    int seat = 0;
    std::int64_t lap = 0;              ///< the lap count after this lap (1, 2, ...)
    std::uint32_t hardwareMs = 0;      ///< the hardware's timestamp of the crossing
    std::int32_t hostMs = 0;           ///< the host clock when the lap was counted
    std::int32_t lapMs = 0;
    std::int32_t speedKmh = 0;
    std::int32_t position = 0;         ///< the seat's position after the lap (0: none)
    std::string lapTimeText;           ///< as the table's last-lap cell showed it
    std::string gapText;               ///< as the table's gap cell showed it
    std::int32_t tank = 0;             ///< 1 (empty) to 8 (full), as the tank cell

    bool operator==(const LapEntry &) const = default;
};

/// Where a seat's event happened: its lap count at that moment and the host clock.
struct SeatMoment {
    int seat = 0;            ///< 0 to 7
    std::int64_t lap = 0;    ///< the seat's lap count (the table's laps cell)
    std::int32_t hostMs = 0;
};

/// The settings a race runs with: taken at the start command, and again at
/// the start signal (when the menu locks) if they changed in between.
struct RecordedSettings {
    std::string trackLength;
    std::string scale;
    std::string lapsPerRide;
    std::array<std::string, 8> racerNames; ///< empty: the seat takes no part

    bool operator==(const RecordedSettings &) const = default;
};

class RaceRecorder {
public:
    virtual ~RaceRecorder() = default;

    /// The settings in force, reported at the start command and, if they
    /// changed during the countdown, again just before the start signal.
    virtual void raceSettings(const RecordedSettings &, std::int32_t /*hostMs*/) {}
    virtual void startSignal(std::int32_t /*hostMs*/) {}
    /// A seat's first crossing after synchronising (before the start signal
    /// it is a false start, reported next by the countdown).
    virtual void startCrossing(const SeatMoment &, std::uint32_t /*hardwareMs*/) {}
    /// A counted lap with the cells as the table shows them once the crossing
    /// is done; the events the crossing caused are reported before it.
    virtual void lapCounted(const LapEntry &) {}
    virtual void leftTrack(const SeatMoment &, std::int32_t /*offTrackCount*/) {}
    /// The false-start question is about to be asked.
    virtual void falseStart(const SeatMoment &) {}
    /// Its answer: Yes goes on with the countdown, No ends the program.
    virtual void falseStartAnswered(const SeatMoment &, bool /*raceGoesOn*/) {}
    virtual void disqualifyRequested(const SeatMoment &) {}
    virtual void disqualified(const SeatMoment &) {}
    virtual void readmitRequested(const SeatMoment &) {}
    /// Carried out at a crossing at \a hardwareMs, which counts no lap.
    virtual void readmitted(const SeatMoment &, std::uint32_t /*hardwareMs*/) {}
    /// Tank state 2, reported on every lap it is shown (its sound plays each time).
    virtual void fuelLow(const SeatMoment &) {}
    /// Tank state 1, reported on every lap it is shown.
    virtual void fuelEmpty(const SeatMoment &) {}
    /// The seat's finishing lap, reported after that lap.
    virtual void finished(const SeatMoment &) {}
    /// The end of the race; the engine never knows it, the window reports it.
    virtual void raceEnded(RaceEnd, std::int32_t /*hostMs*/) {}
};
