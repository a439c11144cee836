// Finding the races a program run left open (killed, crashed, power cut) and
// marking them interrupted, so each is announced once at start-up. A damaged
// or foreign journal is named but never changed.
#pragma once

#include "record/racelog.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

/// Beside a damaged or foreign journal: it has been announced.
inline constexpr const char *kAnnouncedMarkerName = "announced.txt";

struct OpenRace {
    std::filesystem::path folder;
    std::string startedAt;      ///< from the journal, else the folder's name
    std::size_t lapsKept = 0;
    bool damaged = false;       ///< unreadable, foreign or too large: left as it is
    /// It has an end, but a part of its record stopped during the race
    /// (RaceLog::stopped says which and why): told once, nothing changed.
    bool ended = false;
    std::string reason;         ///< why it is damaged, in Czech
    RaceLog log;                ///< as read, when not damaged
};

/// Race folders under \a racesDir whose journal has no end, or cannot be read,
/// or tells that a part of the record stopped, and that have not been
/// announced yet; sorted by folder name. Entries that are not
/// folders, symbolic links and folders without a journal are skipped. Each
/// journal is read once; one over the read limit only at its two ends, and
/// if it has no end it counts as damaged. A folder \a skip names is left
/// out unread (a race still being written).
using FolderFilter = std::function<bool(const std::filesystem::path &folder)>;
std::vector<OpenRace> findOpenRaces(const std::filesystem::path &racesDir, const FolderFilter &skip = {});

/// Marks the race in \a raceFolder as announced: a readable journal without
/// an end gets an end line "interrupted", a damaged one (or one with an end
/// whose record stopped) a marker file beside it. False when
/// that could not be written, with errno telling why.
bool markInterrupted(const std::filesystem::path &raceFolder);
/// The same for a race findOpenRaces gave, without reading its journal again.
bool markInterrupted(const OpenRace &race);
