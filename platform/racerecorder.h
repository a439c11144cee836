// What the race engine tells whoever keeps the race record: the settings in
// force and the start signal, every start crossing and counted lap, and every
// race event, as it happens. Every call is a notice only: a recorder changes
// nothing in the race and must not throw or open a modal box. The base class
// records nothing, which is what a race without a record uses.
#pragma once

#include "record/racelog.h"

#include <array>
#include <cstdint>
#include <string>

/// Where a seat's event happened: its lap count at that moment and the host clock.
struct SeatMoment {
    int seat = 0;            ///< 0 to 7
    std::int64_t lap = 0;    ///< the seat's lap count (the table's laps cell)
    std::int32_t hostMs = 0;
};

/// The settings a race runs with, taken when the menu locks at the start signal.
struct RecordedSettings {
    std::string trackLength;
    std::string scale;
    std::string lapsPerRide;
    std::array<std::string, 8> racerNames; ///< empty: the seat takes no part
};

class RaceRecorder {
public:
    virtual ~RaceRecorder() = default;

    /// The settings in force, reported just before the start signal.
    virtual void raceSettings(const RecordedSettings &, std::int32_t /*hostMs*/) {}
    virtual void startSignal(std::int32_t /*hostMs*/) {}
    /// A seat's first crossing after synchronising (before the start signal
    /// it is a false start, reported next by the countdown).
    virtual void startCrossing(const SeatMoment &, std::uint32_t /*hardwareMs*/) {}
    /// A counted lap with the cells as the table shows them once the crossing
    /// is done; the events the crossing caused are reported before it.
    virtual void lapCounted(const record::LapEntry &) {}
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
    virtual void raceEnded(record::RaceEnd, std::int32_t /*hostMs*/) {}
};
