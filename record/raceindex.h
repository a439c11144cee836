// The archive's index: one SQLite file with a row per race, result, lap and
// event, so questions across races need no journal read. It is a cache of
// the journals, which stay the only truth: it is rebuilt when it is missing,
// unreadable or of another schema version, brought up to date with the race
// folders (new, changed, removed journals) whenever it is opened, and a
// journal that cannot be read is skipped and named, never fatal.
#pragma once

#include "record/indexlock.h"
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
/// What a program is told when another one keeps the index busy.
inline constexpr const char *kRaceIndexBusy = "Archiv závodů právě používá jiný program (rejstřík závodů je zaneprázdněný); "
                                             "zkuste to prosím za chvíli znovu.";

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
    /// False, with a Czech reason, when no index can be written at all or
    /// when another program keeps it busy past a few seconds (busy() then
    /// tells): a busy index is never taken for a damaged one.
    bool open(IndexReport *report = nullptr, std::string *error = nullptr, const Progress &progress = {});
    /// Reads every journal into a new index file beside the old one, then
    /// puts it in place at once, so a reader never sees half an index and
    /// two rebuilds never write into one file.
    bool rebuild(IndexReport *report = nullptr, std::string *error = nullptr, const Progress &progress = {});
    /// Whether the last open() or rebuild() failed because another program held the index.
    bool busy() const { return busy_; }
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

    /// The races of \a night (YYYY-MM-DD), in start order.
    std::vector<RaceSummary> racesOfNight(const std::string &night);
    /// For the tracks and drivers of \a nightRaces, the bests set on the
    /// nights before \a night: a few index walks, however large the archive.
    EarlierBests bestsBeforeNight(const std::string &night, const std::vector<RaceSummary> &nightRaces,
                                  const DriverBook &book);

private:
    bool createSchema();
    bool indexFolder(const std::string &folder, std::int64_t size, std::int64_t time, bool excluded,
                     IndexReport &report);
    void forget(const std::string &folder);
    /// Races matching \a where (on the races table, "?1" bound to \a value), with their results.
    std::vector<RaceSummary> racesWhere(const std::string &where, const std::string &value);
    /// The fastest lap that may stand on a track before \a night, of the name
    /// key \a key or of everyone when empty.
    std::optional<std::int32_t> fastestBefore(const std::string &trackLength, const std::string &scale,
                                              const std::string &night, const std::string &key);

    bool failBusy(std::string *error);
    bool openInPlace();

    std::filesystem::path racesDir_;
    std::filesystem::path indexFile_;
    IndexLock lock_; ///< before db_: the connection closes before its lock goes
    SqliteDb db_;
    bool busy_ = false;
};

/// Sets or clears the mark that leaves a race out of the points; false with
/// a Czech reason when the folder holds no journal or the mark cannot be written.
bool setRaceExcluded(const std::filesystem::path &raceFolder, bool excluded, std::string *error = nullptr);
