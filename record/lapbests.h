// The personal bests and the track record a race sets out to beat, as the
// archive held them before the race started, and the laps of the race that
// beat them. Only beating a best that already stood is marked: a driver's
// first race on a track sets no "new personal best", and a track's first
// race no "new record". Within the race the bar rises with every marked lap,
// so a later lap has to beat it too. Laps that may not stand
// (LapStandingRule) are never marked and never raise the bar.
#pragma once

#include "engine/racerecorder.h"
#include "record/archivepages.h"
#include "record/racelog.h"
#include "record/season.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

struct RecordsBefore {
    std::string trackLength;
    std::string scale;
    /// Per seat: whether a driver sits there (a seat with no name is nobody).
    std::array<bool, 8> driven{};
    /// Per seat: the driver's fastest lap on the track before this race.
    std::array<std::optional<LapRecord>, 8> personal;
    /// The track's fastest lap of everyone before this race.
    std::optional<LapRecord> track;
};

/// The records of a race on the track of \a settings, started as the race
/// folder \a raceFolder, from \a index (aliases from \a book).
RecordsBefore recordsBefore(RaceIndex &index, const DriverBook &book, const RecordedSettings &settings,
                            const std::string &raceFolder);
/// The same from the archive's index under \a paths, opened and brought up
/// to date first; nothing when no index can be kept.
std::optional<RecordsBefore> lookUpRecordsBefore(const ArchivePaths &paths, const RecordedSettings &settings,
                                                 const std::string &raceFolder);

enum class LapMark {
    None,
    PersonalBest, ///< beat the driver's best
    TrackRecord,  ///< beat the track's record (and so the driver's best too)
};

/// Marks the laps of one race in the order they are counted.
class BestLapMarker {
public:
    explicit BestLapMarker(const RecordsBefore &records);
    LapMark lapCounted(int seat, std::int32_t lapMs, bool mayStand);

private:
    std::array<bool, 8> driven_{};
    std::array<std::optional<std::int32_t>, 8> personalMs_;
    std::optional<std::int32_t> trackMs_;
};

/// The mark of every lap of \a log, in the order of log.laps.
std::vector<LapMark> markedLaps(const RaceLog &log, const RecordsBefore &records);
