// Standings over many races: who a racer is (drivers.json), a season's rules
// (seasons/*.json), points per race and per night, the table with its
// tie-breaks, personal bests and track records. Everything is derived from
// race summaries each time, so a changed table or a merged driver changes
// every page at once.
#pragma once

#include "record/racesummary.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

/// drivers.json: drivers with the other spellings that mean them.
class DriverBook {
public:
    struct Identity {
        std::string key;   ///< empty: nobody
        std::string name;  ///< as shown
    };

    /// Reads \a file; a missing file is an empty book. False, with a Czech
    /// reason, for a file that is no such list (the book stays empty).
    bool load(const std::filesystem::path &file, std::string *error = nullptr);
    bool loadText(const std::string &text, std::string *error = nullptr);

    Identity identify(const std::string &name) const;
    /// Every name key that is the driver named \a name (itself and its aliases).
    std::vector<std::string> keysOf(const std::string &name) const;

private:
    std::map<std::string, std::string> canonical_; ///< any spelling's key -> the driver's name
};

struct SeasonRules {
    std::string name;                      ///< "2026" for the calendar year
    std::string from;                      ///< first night, YYYY-MM-DD
    std::string to;                        ///< last night, YYYY-MM-DD
    std::vector<int> points{10, 8, 6, 5, 4, 3, 2, 1};
    int fastestLapBonus = 0;
    int bestNights = 0;                    ///< 0: every night counts

    static SeasonRules calendarYear(int year);
    bool contains(const std::string &night) const { return night >= from && night <= to; }
};

/// One seasons/*.json file; nullopt with a Czech reason when it is not one.
std::optional<SeasonRules> readSeasonRules(const std::filesystem::path &file, std::string *error = nullptr);
std::optional<SeasonRules> parseSeasonRules(const std::string &text, const std::string &defaultName,
                                            std::string *error = nullptr);

/// A racer's part in one race, as points count it.
struct ScoredResult {
    std::string key;
    std::string name;          ///< as shown; with the seat when two seats shared it
    bool sharedName = false;   ///< two seats of the race had this name
    int points = 0;
    bool scores = false;       ///< the race gives points at all
    const RaceResult *result = nullptr;
};

/// Points of every racer of \a race; nothing counts (empty points) when the
/// race was left out or did not finish.
std::vector<ScoredResult> scoreRace(const RaceSummary &race, const SeasonRules &rules, const DriverBook &book);
/// Whether a race's results give points at all.
bool raceScores(const RaceSummary &race);

struct DriverStanding {
    std::string key;
    std::string name;
    int rank = 0;                           ///< equal ranks share a place
    int total = 0;                          ///< counted nights only
    std::vector<std::optional<int>> nights; ///< per night of the table; nullopt: absent
    std::vector<bool> dropped;              ///< per night: left out by best N
    std::vector<int> places;                ///< places[0]: wins, [1]: second places, ...
    std::optional<std::int32_t> bestLapMs;
    std::string tieBreak;                   ///< Czech: what put it behind an equal total
};

struct StandingsTable {
    std::vector<std::string> nights;        ///< the nights with races, in order
    std::vector<DriverStanding> drivers;    ///< in rank order
};

/// The table of \a races (any order) within \a rules' dates.
StandingsTable computeTable(const std::vector<RaceSummary> &races, const SeasonRules &rules, const DriverBook &book);

struct LapRecord {
    std::string key;
    std::string name;
    std::int32_t lapMs = 0;
    std::string folder;
    std::string startedAt;
    std::int64_t lap = 0;
    int seat = 0;
};

struct TrackRecords {
    std::string track;                      ///< "20 m, 1:32"
    std::vector<LapRecord> bests;           ///< every driver's best, fastest first; front() is the record
};

/// Personal bests and records over \a races, up to and with \a until (a
/// start time; empty: all).
std::vector<TrackRecords> computeRecords(const std::vector<RaceSummary> &races, const DriverBook &book,
                                         const std::string &until = {});

/// Laps of \a night that beat the driver's earlier best on the track (or
/// the track's earlier record); each marked as one or both.
struct NewBest {
    std::string track;
    LapRecord lap;
    bool trackRecord = false;
    std::optional<std::int32_t> previousMs;
};
std::vector<NewBest> newBestsOfNight(const std::vector<RaceSummary> &races, const DriverBook &book,
                                     const std::string &night);

/// What a night's laps are measured against: per track ("20 m, 1:32"),
/// each driver's best (by the driver's key) and the record, from the races
/// of the nights before.
struct EarlierBests {
    std::map<std::string, std::map<std::string, std::int32_t>> personal;
    std::map<std::string, std::int32_t> records;
};
/// The new bests of \a nightRaces, the races of one night (any order), each
/// lap measured against \a earlier and the night's laps before it.
std::vector<NewBest> newBestsOfNight(const std::vector<RaceSummary> &nightRaces, const DriverBook &book,
                                     EarlierBests earlier);
