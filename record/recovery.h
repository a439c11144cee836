// Finding the races a program run left open (killed, crashed, power cut) and
// marking them interrupted, so each is announced once at start-up. A damaged
// or foreign journal is named but never changed.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

/// Beside a damaged or foreign journal: it has been announced.
inline constexpr const char *kAnnouncedMarkerName = "announced.txt";

struct OpenRace {
    std::filesystem::path folder;
    std::string startedAt;      ///< from the journal, else the folder's name
    std::size_t lapsKept = 0;
    bool damaged = false;       ///< unreadable or foreign: left as it is
    std::string reason;         ///< why it is damaged, in Czech
};

/// Race folders under \a racesDir whose journal has no end, or cannot be read,
/// and has not been announced yet; sorted by folder name. Entries that are not
/// folders, symbolic links and folders without a journal are skipped.
std::vector<OpenRace> findOpenRaces(const std::filesystem::path &racesDir);

/// Marks the race in \a raceFolder as announced: a readable journal gets an
/// end line "interrupted", a damaged one a marker file beside it. False when
/// that could not be written.
bool markInterrupted(const std::filesystem::path &raceFolder);
