// The bests a race sets out to beat and the laps that beat them: the lookup
// leaves out the race itself and later races and follows aliases; the marks
// follow the rising bar, ignore ties, laps after a readmission or off the
// track and nameless seats, in the report and live alike.
#include "record/lapbests.h"
#include "record/livebests.h"
#include "record/racereport.h"
#include "support/journaltestsupport.h"
#include "support/racejournalmaker.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class RecordsBeforeRace : public TempFolder {
protected:
    void SetUp() override
    {
        TempFolder::SetUp();
        paths.dataDir = dir;
        fs::create_directories(paths.races());
    }
    void addRace(const std::string &folder, const std::vector<MadeRacer> &racers, const std::string &track = "20")
    {
        std::string startedAt = folder.substr(0, 19);
        startedAt[10] = ' ';
        startedAt[13] = ':';
        startedAt[16] = ':';
        writeRaceFolder(paths.races(), folder, makeJournal(startedAt, racers, "finished", track));
    }
    ArchivePaths paths;
};

RecordedSettings settingsFor(std::array<std::string, 8> names)
{
    return {"20", "32", "10", std::move(names)};
}

LapEntry lap(int seat, std::int64_t count, std::int32_t lapMs)
{
    LapEntry entry;
    entry.seat = seat;
    entry.lap = count;
    entry.lapMs = lapMs;
    return entry;
}

// Adam (seat 1) stood at 5000 ms, the track record at 4800 ms (Bára's, who
// is not racing); Cyril (seat 2) is new; seat 3 has no name.
RecordsBefore adamBaraCyril()
{
    RecordsBefore records;
    records.trackLength = "20";
    records.scale = "32";
    records.driven = {true, true, false, false, false, false, false, false};
    records.personal[0] = LapRecord{"adam", "Adam", 5000, "2026-03-01_19-00-00", "2026-03-01 19:00:00", 2, 0};
    records.track = LapRecord{"bára", "Bára", 4800, "2026-03-01_19-00-00", "2026-03-01 19:00:00", 4, 1};
    return records;
}

// Adam's laps: a tie, a new best, a slower one, a faster one off the track,
// a new best again, the lap after a readmission (fastest of all) and a record.
RaceLog raceWithEveryKindOfLap()
{
    RaceLog log;
    log.trackLength = "20";
    log.scale = "32";
    log.racers[0] = {0, "Adam"};
    log.racers[1] = {1, "Cyril"};
    const std::int32_t adamLaps[] = {5000, 4950, 4970, 4600, 4900, 4000, 4790};
    for (std::int64_t n = 1; n <= 7; ++n) {
        if (n == 4)
            log.events.push_back({EventKind::OffTrack, 0, 4, 0, 0, "1"});
        if (n == 6)
            log.events.push_back({EventKind::Readmitted, 0, 5, 0, 0, ""});
        log.laps.push_back(lap(0, n, adamLaps[n - 1]));
    }
    // Cyril, new to the track, beats everyone once; then the bar is his.
    log.laps.push_back(lap(1, 1, 4700));
    log.laps.push_back(lap(1, 2, 4750));
    log.laps.push_back(lap(2, 1, 3000));
    return log;
}

} // namespace

TEST_F(RecordsBeforeRace, LookupLeavesOutThisRaceAndLaterOnesAndFollowsAliases)
{
    addRace("2026-03-01_19-00-00", {{"Adámek", {5200, 5100}}, {"Bára", {4900, 4950}}});
    addRace("2026-03-01_20-00-00", {{"Adam", {5300, 5150}}, {"Bára", {5000, 5000}}});
    addRace("2026-03-01_21-00-00", {{"adam ", {4500, 4600}}, {"Cyril", {4400, 4700}}});
    addRace("2026-03-01_22-00-00", {{"Adam", {3000, 3000}}}, "30");
    writeBytes(paths.drivers(), R"({"drivers":[{"name":"Adam","aliases":["Adámek"]}]})");

    const std::optional<RecordsBefore> before
        = lookUpRecordsBefore(paths, settingsFor({"Adam", "", "Cyril", "Bára"}), "2026-03-01_21-00-00");
    ASSERT_TRUE(before);
    ASSERT_TRUE(before->personal[0]);
    EXPECT_EQ(before->personal[0]->lapMs, 5100);
    EXPECT_EQ(before->personal[0]->folder, "2026-03-01_19-00-00");
    EXPECT_EQ(before->personal[0]->lap, 2);
    EXPECT_EQ(before->personal[0]->seat, 0);
    EXPECT_EQ(before->personal[0]->startedAt, "2026-03-01 19:00:00");
    EXPECT_EQ(before->driven, (std::array<bool, 8>{true, false, true, true, false, false, false, false}));
    EXPECT_FALSE(before->personal[1]);
    EXPECT_FALSE(before->personal[2]) << "Cyril's only race is the one looked up for";
    ASSERT_TRUE(before->personal[3]);
    EXPECT_EQ(before->personal[3]->lapMs, 4900);
    ASSERT_TRUE(before->track);
    EXPECT_EQ(before->track->name, "Bára");
    EXPECT_EQ(before->track->lapMs, 4900);

    // Looked up for a later race, the 21:00 race counts; the 30 m track never does.
    const std::optional<RecordsBefore> later
        = lookUpRecordsBefore(paths, settingsFor({"ADAM", "", "Cyril"}), "2026-03-02_19-00-00");
    ASSERT_TRUE(later && later->personal[0] && later->personal[2] && later->track);
    EXPECT_EQ(later->personal[0]->lapMs, 4500);
    EXPECT_EQ(later->personal[2]->lapMs, 4400);
    EXPECT_EQ(later->track->lapMs, 4400);
    EXPECT_EQ(later->track->name, "Cyril");

    const std::optional<RecordsBefore> first = lookUpRecordsBefore(paths, settingsFor({"Adam"}), "2026-02-01_19-00-00");
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->personal[0]);
    EXPECT_FALSE(first->track);
}

TEST(LapMarks, OnlyLapsThatMayStandAndBeatTheRisingBarAreMarked)
{
    const std::vector<LapMark> marks = markedLaps(raceWithEveryKindOfLap(), adamBaraCyril());
    using enum LapMark;
    EXPECT_EQ(marks, (std::vector<LapMark>{None, PersonalBest, None, None, PersonalBest, None, TrackRecord,
                                           TrackRecord, None, None}));

    // Live, the engine's notices in the journal's order give the same marks.
    LiveBests live;
    live.setRecords(adamBaraCyril());
    const RaceLog log = raceWithEveryKindOfLap();
    std::size_t event = 0;
    std::vector<LapMark> liveMarks;
    for (const LapEntry &entry : log.laps) {
        for (; event < log.events.size() && log.events[event].lap <= entry.lap && entry.seat == 0; ++event) {
            const EventEntry &e = log.events[event];
            if (e.kind == EventKind::OffTrack)
                live.leftTrack({e.seat, e.lap, 0}, 1);
            else
                live.readmitted({e.seat, e.lap, 0}, 0);
        }
        live.lapCounted(entry);
        liveMarks.push_back(live.lastLapMark(entry.seat));
    }
    EXPECT_EQ(liveMarks, marks);

    // Names edited during the countdown: the records were of other drivers.
    int lookups = 0;
    live.settingsChanged = [&lookups] { ++lookups; };
    live.raceSettings(settingsFor({"Adam", "Cyril"}), 0);
    live.raceSettings(settingsFor({"Adam", "Cyril"}), 0);
    EXPECT_EQ(lookups, 0);
    EXPECT_TRUE(live.records());
    live.raceSettings(settingsFor({"Adam", "Dora"}), 0);
    EXPECT_EQ(lookups, 1);
    EXPECT_FALSE(live.records());
    live.lapCounted(lap(1, 3, 1000));
    EXPECT_EQ(live.lastLapMark(1), None);

    // A new race forgets the records and the marks.
    live.beginRace();
    EXPECT_FALSE(live.records());
    EXPECT_EQ(live.lastLapMark(1), None);
    live.lapCounted(lap(0, 1, 1000));
    EXPECT_EQ(live.lastLapMark(0), None);
}

TEST(LapMarks, ReportMarksTheLapsAndSaysWhatTheMarksMean)
{
    RaceLog log = raceWithEveryKindOfLap();
    const RecordsBefore records = adamBaraCyril();
    const std::string marked = raceReportHtml(log, &records);
    const auto row = [&](const std::string &id) {
        const std::size_t at = marked.find("<tr id=\"" + id + "\"");
        return at == std::string::npos ? std::string() : marked.substr(at, marked.find("</tr>", at) - at);
    };
    EXPECT_NE(row("kolo-1-2").find(">OR</span>"), std::string::npos) << row("kolo-1-2");
    EXPECT_EQ(row("kolo-1-3").find("class=\"mark\""), std::string::npos);
    EXPECT_EQ(row("kolo-1-6").find("class=\"mark\""), std::string::npos);
    EXPECT_NE(row("kolo-1-7").find(">RD</span>"), std::string::npos);
    EXPECT_NE(row("kolo-2-1").find(">RD</span>"), std::string::npos);
    EXPECT_NE(marked.find("OR: nový osobní rekord závodníka na této dráze, RD: nový rekord dráhy"), std::string::npos);

    // Without the records, or with none beaten (a new track), neither marks nor the line.
    const RecordsBefore newTrack;
    for (const std::string &plain : {raceReportHtml(log), raceReportHtml(log, &newTrack)}) {
        EXPECT_EQ(plain.find("class=\"mark\""), std::string::npos);
        EXPECT_EQ(plain.find("OR: nový osobní rekord"), std::string::npos);
    }
}
