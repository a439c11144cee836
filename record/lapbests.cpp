#include "record/lapbests.h"

#include "record/racesummary.h"

RecordsBefore recordsBefore(RaceIndex &index, const DriverBook &book, const RecordedSettings &settings,
                            const std::string &raceFolder)
{
    RecordsBefore records;
    records.trackLength = settings.trackLength;
    records.scale = settings.scale;
    for (std::size_t seat = 0; seat < settings.racerNames.size(); ++seat) {
        const std::vector<std::string> keys = book.keysOf(settings.racerNames[seat]);
        // No keys: nobody sits there, and an empty list would ask for everyone.
        records.driven[seat] = !keys.empty();
        if (!keys.empty())
            records.personal[seat] = index.bestLap(settings.trackLength, settings.scale, keys, raceFolder);
    }
    records.track = index.bestLap(settings.trackLength, settings.scale, {}, raceFolder);
    return records;
}

std::optional<RecordsBefore> lookUpRecordsBefore(const ArchivePaths &paths, const RecordedSettings &settings,
                                                 const std::string &raceFolder)
{
    RaceIndex index(paths.races(), paths.index());
    if (!index.open())
        return std::nullopt;
    DriverBook book;
    // A drivers.json that cannot be read leaves each spelling its own driver.
    book.load(paths.drivers());
    return recordsBefore(index, book, settings, raceFolder);
}

BestLapMarker::BestLapMarker(const RecordsBefore &records) : driven_(records.driven)
{
    for (std::size_t seat = 0; seat < records.personal.size(); ++seat)
        if (records.personal[seat])
            personalMs_[seat] = records.personal[seat]->lapMs;
    if (records.track)
        trackMs_ = records.track->lapMs;
}

LapMark BestLapMarker::lapCounted(int seat, std::int32_t lapMs, bool mayStand)
{
    if (seat < 0 || seat >= static_cast<int>(driven_.size()) || !driven_[seat] || !mayStand)
        return LapMark::None;
    std::optional<std::int32_t> &personal = personalMs_[seat];
    // A tie sets nothing: the best that stood first keeps it.
    if (trackMs_ && lapMs < *trackMs_) {
        trackMs_ = lapMs;
        personal = lapMs;
        return LapMark::TrackRecord;
    }
    if (personal && lapMs < *personal) {
        personal = lapMs;
        return LapMark::PersonalBest;
    }
    return LapMark::None;
}

std::vector<LapMark> markedLaps(const RaceLog &log, const RecordsBefore &records)
{
    const std::vector<bool> stands = lapsThatMayStand(log);
    BestLapMarker marker(records);
    std::vector<LapMark> marks;
    marks.reserve(log.laps.size());
    for (std::size_t i = 0; i < log.laps.size(); ++i)
        marks.push_back(marker.lapCounted(log.laps[i].seat, log.laps[i].lapMs, stands[i]));
    return marks;
}
