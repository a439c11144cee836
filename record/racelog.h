// One race as its journal tells it: the settings in force, every counted lap
// and every event, and how the race ended. The journal reader builds it; the
// report, the laps table, recovery and the archive listing read it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace record {

inline constexpr int kJournalVersion = 1;

/// How a journal ends.
enum class RaceEnd {
    Open,        ///< no end line: the program was killed, crashed or lost power
    Finished,    ///< every used seat finished or was disqualified
    Closed,      ///< the program was closed before the race was over
    Signalled,   ///< the system ended the program (SIGTERM, SIGINT, SIGHUP)
    Interrupted, ///< found open at a later start-up and marked so
};

struct RacerEntry {
    int seat = 0;           ///< 0 to 7
    std::string name;       ///< empty: the seat takes no part

    bool operator==(const RacerEntry &) const = default;
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
};

} // namespace record
