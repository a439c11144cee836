// The personal bests and track record of the running race: the engine tells
// it every lap and event as the journal hears them, the archive's worker
// hands it the records before the race, and the live board asks it how the
// last lap of each seat stands.
#pragma once

#include "engine/racerecorder.h"
#include "record/lapbests.h"
#include "record/racesummary.h"

#include <array>
#include <functional>
#include <optional>

class LiveBests : public RaceRecorder {
public:
    /// Called when the race reports settings that differ from those it
    /// reported before (names edited during the countdown): the records
    /// are dropped, as they were of other drivers, and must be looked up again.
    std::function<void()> settingsChanged;

    /// A new race: no records, no marks and no events of the race before.
    void beginRace();
    /// The records before this race; laps counted from now on are marked.
    void setRecords(const RecordsBefore &records);
    const std::optional<RecordsBefore> &records() const { return records_; }
    /// The settings the race reported last; nothing before it did.
    const std::optional<RecordedSettings> &settings() const { return settings_; }
    /// How the seat's last counted lap stands.
    LapMark lastLapMark(int seat) const;

    void raceSettings(const RecordedSettings &settings, std::int32_t hostMs) override;
    void lapCounted(const LapEntry &lap) override;
    void leftTrack(const SeatMoment &moment, std::int32_t offTrackCount) override;
    void readmitted(const SeatMoment &moment, std::uint32_t hardwareMs) override;

private:
    std::optional<RecordedSettings> settings_;
    std::optional<RecordsBefore> records_;
    std::optional<BestLapMarker> marker_;
    LapStandingRule rule_;
    std::array<LapMark, 8> lastMarks_{};
};
