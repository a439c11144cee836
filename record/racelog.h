// One race as its journal tells it: the settings in force, every counted lap
// and every event, and how the race ended. The journal reader builds it; the
// report, the laps table, recovery and the archive listing read it.
#pragma once

#include "engine/racerecorder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline constexpr int kJournalVersion = 1;

struct RacerEntry {
    int seat = 0;           ///< 0 to 7
    std::string name;       ///< empty: the seat takes no part

    bool operator==(const RacerEntry &) const = default;
};

enum class EventKind {
    StartSignal,
    StartCrossing,      ///< a seat's first crossing after synchronising
    FalseStart,         ///< detail: "yes" (race goes on) or "no" (program ends)
    OffTrack,           ///< detail: the off-track count after it
    FuelLow,            ///< tank state 2
    FuelEmpty,          ///< tank state 1
    DisqualifyRequested,
    Disqualified,
    ReadmitRequested,
    Readmitted,
    Finished,
};

struct EventEntry {
    EventKind kind = EventKind::StartSignal;
    int seat = -1;                ///< -1 for race-wide events
    std::int64_t lap = 0;         ///< the seat's lap count when it happened
    std::uint32_t hardwareMs = 0; ///< for crossings (start, readmission); 0 otherwise or not recorded
    std::int32_t hostMs = 0;
    std::string detail;

    bool operator==(const EventEntry &) const = default;
};

/// A part of the race record that stopped during the race, and why.
struct StoppedPart {
    enum class Part { Journal, LineCapture };
    enum class Cause {
        DiskFull,   ///< no room left (or too little to keep the journal's)
        ReadOnly,   ///< the disk became read-only
        Failure,    ///< any other error of the disk or the file
    };
    Part part = Part::Journal;
    Cause cause = Cause::Failure;
    std::int32_t hostMs = 0;
    std::size_t lapsBefore = 0; ///< laps counted before it stopped

    bool operator==(const StoppedPart &) const = default;
};

struct RaceLog {
    int version = kJournalVersion;
    std::string startedAt;             ///< local time, "2026-12-07 19:30:05"
    std::string trackLength;           ///< the settings' texts as they were
    std::string scale;
    std::string lapsPerRide;
    std::array<RacerEntry, 8> racers{};
    std::vector<LapEntry> laps;        ///< in the order they were counted
    std::vector<EventEntry> events;    ///< in the order they happened
    RaceEnd end = RaceEnd::Open;
    std::int32_t endHostMs = 0;
    /// Lines the reader could not take (cut short, not JSON, unknown event):
    /// counted, never fatal.
    int damagedLines = 0;
    /// Bytes of a journal file past the reader's limit, left unread.
    std::uintmax_t unreadBytes = 0;
    /// Parts of the record that stopped, in the order they did.
    std::vector<StoppedPart> stopped;
    /// The journal stopped, and what follows it comes from the program's own
    /// count of the race, not from the disk: the race is whole here.
    bool countedByProgram = false;
};
