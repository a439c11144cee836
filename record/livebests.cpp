#include "record/livebests.h"

void LiveBests::beginRace()
{
    settings_.reset();
    records_.reset();
    marker_.reset();
    rule_ = {};
    lastMarks_ = {};
}

void LiveBests::setRecords(const RecordsBefore &records)
{
    records_ = records;
    marker_.emplace(records);
}

LapMark LiveBests::lastLapMark(int seat) const
{
    return seat >= 0 && seat < static_cast<int>(lastMarks_.size()) ? lastMarks_[seat] : LapMark::None;
}

void LiveBests::raceSettings(const RecordedSettings &settings, std::int32_t)
{
    const bool changed = settings_ && *settings_ != settings;
    settings_ = settings;
    if (!changed)
        return;
    records_.reset();
    marker_.reset();
    if (settingsChanged)
        settingsChanged();
}

void LiveBests::lapCounted(const LapEntry &lap)
{
    if (lap.seat < 0 || lap.seat >= static_cast<int>(lastMarks_.size()))
        return;
    lastMarks_[lap.seat] = marker_ ? marker_->lapCounted(lap.seat, lap.lapMs, rule_.mayStand(lap)) : LapMark::None;
}

void LiveBests::leftTrack(const SeatMoment &moment, std::int32_t)
{
    rule_.leftTrack(moment.seat, moment.lap);
}

void LiveBests::readmitted(const SeatMoment &moment, std::uint32_t)
{
    rule_.readmitted(moment.seat, moment.lap);
}
