#include "record/recordertee.h"

void RecorderTee::raceSettings(const RecordedSettings &settings, std::int32_t hostMs)
{
    first_.raceSettings(settings, hostMs);
    second_.raceSettings(settings, hostMs);
}

void RecorderTee::startSignal(std::int32_t hostMs)
{
    first_.startSignal(hostMs);
    second_.startSignal(hostMs);
}

void RecorderTee::startCrossing(const SeatMoment &moment, std::uint32_t hardwareMs)
{
    first_.startCrossing(moment, hardwareMs);
    second_.startCrossing(moment, hardwareMs);
}

void RecorderTee::lapCounted(const LapEntry &lap)
{
    first_.lapCounted(lap);
    second_.lapCounted(lap);
}

void RecorderTee::leftTrack(const SeatMoment &moment, std::int32_t offTrackCount)
{
    first_.leftTrack(moment, offTrackCount);
    second_.leftTrack(moment, offTrackCount);
}

void RecorderTee::falseStart(const SeatMoment &moment)
{
    first_.falseStart(moment);
    second_.falseStart(moment);
}

void RecorderTee::falseStartAnswered(const SeatMoment &moment, bool raceGoesOn)
{
    first_.falseStartAnswered(moment, raceGoesOn);
    second_.falseStartAnswered(moment, raceGoesOn);
}

void RecorderTee::disqualifyRequested(const SeatMoment &moment)
{
    first_.disqualifyRequested(moment);
    second_.disqualifyRequested(moment);
}

void RecorderTee::disqualified(const SeatMoment &moment)
{
    first_.disqualified(moment);
    second_.disqualified(moment);
}

void RecorderTee::readmitRequested(const SeatMoment &moment)
{
    first_.readmitRequested(moment);
    second_.readmitRequested(moment);
}

void RecorderTee::readmitted(const SeatMoment &moment, std::uint32_t hardwareMs)
{
    first_.readmitted(moment, hardwareMs);
    second_.readmitted(moment, hardwareMs);
}

void RecorderTee::fuelLow(const SeatMoment &moment)
{
    first_.fuelLow(moment);
    second_.fuelLow(moment);
}

void RecorderTee::fuelEmpty(const SeatMoment &moment)
{
    first_.fuelEmpty(moment);
    second_.fuelEmpty(moment);
}

void RecorderTee::finished(const SeatMoment &moment)
{
    first_.finished(moment);
    second_.finished(moment);
}

void RecorderTee::raceEnded(RaceEnd how, std::int32_t hostMs)
{
    first_.raceEnded(how, hostMs);
    second_.raceEnded(how, hostMs);
}
