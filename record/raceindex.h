// The archive's index: one SQLite file with a row per race, result, lap and
// event, so questions across races need no journal read. It is a cache of
// the journals, which stay the only truth: it is rebuilt when it is missing,
// unreadable or of another schema version, brought up to date with the race
// folders (new, changed, removed journals) whenever it is opened, and a
// journal that cannot be read is skipped and named, never fatal.
#pragma once

#include "record/racesummary.h"
#include "record/season.h"
#include "record/sqlitedb.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

inline constexpr int kRaceIndexSchema = 1;
inline constexpr const char *kRaceIndexFileName = "index.sqlite";
/// A race folder holding this file is left out of the points.
inline constexpr const char *kExcludedMarkName = "excluded.txt";

struct IndexReport {
    bool rebuilt = false;
    std::string rebuiltBecause;        ///< Czech; empty when not rebuilt
    int indexed = 0;                   ///< journals read this time
    int removed = 0;
    std::vector<std::string> skipped;  ///< "folder: reason" of journals that could not be read
};

class RaceIndex {
public:
    /// Called with (done, total) while journals are read.
    using Progress = std::function<void(int, int)>;

    RaceIndex(std::filesystem::path racesDir, std::filesystem::path indexFile);

    /// Opens the index, rebuilding it when needed, and brings it up to date.
    /// False, with a Czech reason, only when no index can be written at all.
    bool open(IndexReport *report = nullptr, std::string *error = nullptr, const Progress &progress = {});
    /// Drops everything and reads every journal again.
    bool rebuild(IndexReport *report = nullptr, std::string *error = nullptr, const Progress &progress = {});
    /// Reads the journals that are new or changed since they were indexed
    /// and forgets the folders that are gone.
    bool refresh(IndexReport *report = nullptr, const Progress &progress = {});

    /// Every indexed race, in start order.
    std::vector<RaceSummary> races();
    /// The fastest lap that may stand on a track, of the drivers whose name
    /// keys are \a driverKeys (a driver's spellings, DriverBook::keysOf),
    /// or of everyone when empty: a personal best or the track record. With
    /// \a beforeFolder, only of races whose folder name sorts before it
    /// (folders are named by their start time): the bests a race set out to beat.
    std::optional<LapRecord> bestLap(const std::string &trackLength, const std::string &scale,
                                     const std::vector<std::string> &driverKeys = {},
                                     const std::string &beforeFolder = {});
    /// Every journal that could not be read: "folder: reason".
    std::vector<std::string> skipped();

private:
    bool createSchema();
    bool indexFolder(const std::string &folder, std::int64_t size, std::int64_t time, bool excluded,
                     IndexReport &report);
    void forget(const std::string &folder);

    std::filesystem::path racesDir_;
    std::filesystem::path indexFile_;
    SqliteDb db_;
};

/// Sets or clears the mark that leaves a race out of the points; false with
/// a Czech reason when the folder holds no journal or the mark cannot be written.
bool setRaceExcluded(const std::filesystem::path &raceFolder, bool excluded, std::string *error = nullptr);
