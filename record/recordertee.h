// One race told to two recorders, in the same order: the journal that keeps
// it and whoever follows it live.
#pragma once

#include "engine/racerecorder.h"

class RecorderTee : public RaceRecorder {
public:
    RecorderTee(RaceRecorder &first, RaceRecorder &second) : first_(first), second_(second) {}

    void raceSettings(const RecordedSettings &settings, std::int32_t hostMs) override;
    void startSignal(std::int32_t hostMs) override;
    void startCrossing(const SeatMoment &moment, std::uint32_t hardwareMs) override;
    void lapCounted(const LapEntry &lap) override;
    void leftTrack(const SeatMoment &moment, std::int32_t offTrackCount) override;
    void falseStart(const SeatMoment &moment) override;
    void falseStartAnswered(const SeatMoment &moment, bool raceGoesOn) override;
    void disqualifyRequested(const SeatMoment &moment) override;
    void disqualified(const SeatMoment &moment) override;
    void readmitRequested(const SeatMoment &moment) override;
    void readmitted(const SeatMoment &moment, std::uint32_t hardwareMs) override;
    void fuelLow(const SeatMoment &moment) override;
    void fuelEmpty(const SeatMoment &moment) override;
    void finished(const SeatMoment &moment) override;
    void raceEnded(RaceEnd how, std::int32_t hostMs) override;

private:
    RaceRecorder &first_;
    RaceRecorder &second_;
};
