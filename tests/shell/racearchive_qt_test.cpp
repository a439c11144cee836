// The race archive on a real engine and serial link (a fake port): a folder
// per race, the journal the engine writes, the line captured beside it, and
// one warning, never inside the engine's call, when the record cannot be kept.
#include "engine/racescript.h"
#include "record/archivepages.h"
#include "record/fileerror.h"
#include "record/journalreader.h"
#include "record/linecapture.h"
#include "shell/racearchive.h"
#include "record/reportfiles.h"
#include "shell/terminationsignals.h"
#include "fakes/serialdevicefake.h"
#include "setup/seriallink.h"

#include "support/failingsync.h"
#include "support/journaltestsupport.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

struct ArchiveRig : TempFolder {
    void SetUp() override
    {
        TempFolder::SetUp();
        RaceSettings settings;
        applyFactorySettings(settings);
        ASSERT_TRUE(link.openSerialPort(settings, script.host));
    }
    fs::path racesDir() const { return dir / "races"; }
    std::vector<fs::path> raceFolders() const
    {
        std::vector<fs::path> folders;
        for (const auto &entry : fs::directory_iterator(racesDir()))
            folders.push_back(entry.path());
        std::sort(folders.begin(), folders.end());
        return folders;
    }
    static void runQueuedCalls() { QCoreApplication::processEvents(); }

    RaceScript script;
    SerialDeviceFake *port = new SerialDeviceFake;
    SerialLink link{std::unique_ptr<SerialDevice>(port)};
};

} // namespace

// The journal gets the engine's events and one end, the first one given; the
// capture every byte the link read with the purges between them.
TEST_F(ArchiveRig, RaceIsKeptInAFolderNamedByItsStart)
{
    RaceArchive archive(script.engine, script.host, link, racesDir());
    archive.beginRace();
    const fs::path folder = archive.raceFolder();
    EXPECT_TRUE(std::regex_match(folder.filename().string(), std::regex(R"(\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d)")))
        << folder;
    EXPECT_EQ(folder.parent_path(), racesDir());

    port->feed("0190000000000000");
    port->feed("0\r\n02900000000000000\r\n");
    link.purgePort();
    script.startRace(10'000);
    script.cross(0, 15'000);
    archive.endRace(RaceEnd::Finished);
    archive.endRace(RaceEnd::Closed);
    script.cross(0, 20'000); // after the end: not in the journal
    runQueuedCalls();

    const std::optional<RaceLog> log = readJournalFile(folder / kJournalFileName);
    ASSERT_TRUE(log);
    EXPECT_EQ(log->end, RaceEnd::Finished);
    ASSERT_EQ(log->laps.size(), 1u);
    EXPECT_EQ(log->laps[0].lapMs, 5000);
    EXPECT_EQ(log->damagedLines, 0);
    // The end of the race leaves its report and laps table beside the journal.
    archive.waitForArchiveWork();
    EXPECT_NE(readBytes(folder / kReportFileName).find("<dd class=\"race-end\">dokončen</dd>"),
              std::string::npos);
    EXPECT_NE(readBytes(folder / kLapsFileName).find(",1,5000,0:05:000,"), std::string::npos);
    // And the archive's pages: the race's night, its year's season, the records.
    const fs::path pages = racesDir().parent_path() / "pages";
    const std::string night = nightOf(log->startedAt);
    EXPECT_NE(readBytes(pages / nightPageName(night)).find(folder.filename().string() + "/report.html"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(pages / seasonPageName(night.substr(0, 4))));
    // Adam's one lap is the track's record, linked to its row in the report.
    EXPECT_NE(readBytes(pages / kRecordsPageName).find(folder.filename().string() + "/report.html#kolo-1-1"),
              std::string::npos);

    const std::optional<LineCapture> capture =
        readLineCaptureFile(folder / std::string(kLineCaptureFileName));
    ASSERT_TRUE(capture);
    ASSERT_EQ(capture->chunks.size(), 3u);
    EXPECT_EQ(capture->chunks[0].bytes + capture->chunks[1].bytes, "01900000000000000\r\n02900000000000000\r\n");
    EXPECT_EQ(capture->chunks[2].kind, LineChunk::Kind::Purge);
    EXPECT_LE(capture->chunks[0].atMs, capture->chunks[2].atMs);
    EXPECT_TRUE(script.host.messages.empty());
}

// Closed during the countdown, before any start signal: the report still
// tells the track, the scale and the laps of the settings in force.
TEST_F(ArchiveRig, RaceClosedDuringTheCountdownKeepsItsSettings)
{
    script.settings.trackLength = "27";
    script.settings.scale = "24";
    RaceArchive archive(script.engine, script.host, link, racesDir());
    archive.beginRace();
    archive.endRace(RaceEnd::Closed);
    archive.waitForArchiveWork();

    const std::optional<RaceLog> log = readJournalFile(archive.raceFolder() / kJournalFileName);
    ASSERT_TRUE(log);
    EXPECT_EQ(log->trackLength, "27");
    EXPECT_EQ(log->scale, "24");
    EXPECT_EQ(log->racers[1].name, "Bára");
    EXPECT_NE(readBytes(archive.raceFolder() / kReportFileName).find("27 m, měřítko 1:24"), std::string::npos);
}

// The report beside the results is the last race's own: a race run without
// a record has none, rather than the report of the race before it.
TEST_F(ArchiveRig, ReportBesideTheResultsIsNeverAnEarlierRaces)
{
    RaceArchive archive(script.engine, script.host, link, racesDir());
    archive.beginRace();
    archive.endRace(RaceEnd::Finished);
    archive.waitForArchiveWork();
    ASSERT_TRUE(archive.lastRaceReport());
    EXPECT_EQ(archive.lastRaceReport(), readBytes(archive.raceFolder() / kReportFileName));
    archive.setRecording(false);
    archive.beginRace();
    archive.endRace(RaceEnd::Finished);
    EXPECT_FALSE(archive.lastRaceReport());
}

TEST_F(ArchiveRig, StartsWithinOneSecondGetFoldersOfTheirOwnAndNoRecordingKeepsNothing)
{
    RaceArchive first(script.engine, script.host, link, racesDir());
    RaceArchive second(script.engine, script.host, link, racesDir());
    RaceArchive third(script.engine, script.host, link, racesDir());
    first.beginRace();
    second.beginRace();
    third.beginRace();
    // Unless the second turned over between them, the names share a stem.
    const std::string stem = first.raceFolder().filename().string();
    if (third.raceFolder().filename().string().starts_with(stem)) {
        EXPECT_EQ(second.raceFolder().filename().string(), stem + "_2");
        EXPECT_EQ(third.raceFolder().filename().string(), stem + "_3");
    }
    EXPECT_EQ(raceFolders().size(), 3u);

    RaceArchive off(script.engine, script.host, link, dir / "off");
    off.setRecording(false);
    off.beginRace();
    off.endRace(RaceEnd::Closed);
    EXPECT_FALSE(fs::exists(dir / "off"));
}

// A data folder that cannot hold the races: the race goes on without a
// record, and the warning names the place; it comes after the start
// command's call, never inside it.
TEST_F(ArchiveRig, UnusableDataFolderWarnsOnceAndTheRaceGoesOn)
{
    writeBytes(racesDir(), "a file where the folder should be");
    RaceArchive archive(script.engine, script.host, link, racesDir());
    archive.beginRace();
    EXPECT_TRUE(script.host.messages.empty());
    script.host.expectMessage("Složku pro záznam závodu nelze vytvořit (" + racesDir().string()
                              + "): v cestě ke složce stojí soubor. Závod pokračuje bez záznamu.");
    runQueuedCalls();
    ASSERT_EQ(script.host.messages.size(), 1u);
    EXPECT_EQ(script.host.messages[0].caption, "Varování");
    EXPECT_EQ(script.host.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(script.host.messages[0].buttons, MessageButtons::Ok);

    script.startRace();
    script.cross(0, 15'000);
    EXPECT_EQ(script.racer(0).lapsText, "1");
    archive.endRace(RaceEnd::Finished);
    runQueuedCalls();
    EXPECT_EQ(script.host.messages.size(), 1u);
}

// The disk fills up during the race (a file size limit stands in for it):
// the capture and the journal fail, one box names both with the cause, and
// the report at the race end has the lap the journal on the disk lacks.
TEST_F(ArchiveRig, DiskFullDuringTheRaceWarnsOnce)
{
    RaceArchive archive(script.engine, script.host, link, racesDir());
    archive.beginRace();
    const fs::path journal = archive.raceFolder() / kJournalFileName;
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = fs::file_size(journal) + 10;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    port->feed(QByteArray(400, '7'));
    script.startRace();
    script.cross(0, 15'000);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_DFL);

    EXPECT_EQ(script.racer(0).lapsText, "1");
    script.host.expectMessage("Záznam závodu nelze ukládat (" + journal.string()
                              + "): soubor přesáhl povolenou velikost. Závod pokračuje; jeho zpráva vznikne z průběhu "
                                "závodu v programu.\n\n"
                                "Záznam komunikace s hardwarem nelze ukládat ("
                              + (archive.raceFolder() / "line.capture").string()
                              + "): soubor přesáhl povolenou velikost. Závod pokračuje.");
    runQueuedCalls();
    EXPECT_EQ(script.host.messages.size(), 1u);
    archive.endRace(RaceEnd::Finished);
    runQueuedCalls();
    EXPECT_EQ(script.host.messages.size(), 1u);

    archive.waitForArchiveWork();
    EXPECT_TRUE(readJournalFile(journal)->laps.empty()) << "the disk kept no lap";
    const std::string report = readBytes(archive.raceFolder() / kReportFileName);
    EXPECT_NE(report.find("0:05:000"), std::string::npos) << "the lap as the program counted it";
    EXPECT_NE(report.find("Tato zpráva je sestavena z průběhu závodu, jak jej program počítal"), std::string::npos);
    EXPECT_EQ(archive.lastRaceReport(), report) << "the report beside the results is the same";
}

// The search for races an earlier run left open reads every journal: it runs
// on the archive's worker, takes a race this run has started meanwhile for
// none of them, brings the archive's pages up to date and tells of the
// others in one box, on the window's thread once that race has ended.
TEST_F(ArchiveRig, RacesLeftOpenAreFoundOffTheWindowAndNeverTheRaceRunningNow)
{
    const std::string header = R"({"format":"tramelo-journal","version":1,"startedAt":"2026-12-06 19:30:05"})" "\n";
    const std::string lap = R"({"type":"lap","hostMs":15000,"seat":0,"lap":1,"lapMs":5000})" "\n";
    fs::create_directories(racesDir());
    const fs::path killed = writeRaceFolder(racesDir(), "2026-12-06_19-30-05", header + lap + lap);
    RaceArchive archive(script.engine, script.host, link, racesDir());
    archive.beginRace();
    const fs::path running = archive.raceFolder() / kJournalFileName;

    archive.announceInterruptedRaces();
    EXPECT_TRUE(script.host.messages.empty());
    archive.waitForArchiveWork();
    EXPECT_EQ(readJournalFile(running)->end, RaceEnd::Open) << "the race running now is not marked";
    EXPECT_EQ(readJournalFile(killed / kJournalFileName)->end, RaceEnd::Interrupted);
    const fs::path pages = racesDir().parent_path() / "pages";
    EXPECT_NE(readBytes(pages / nightPageName("2026-12-06")).find("2026-12-06_19-30-05/report.html"),
              std::string::npos) << "the night's page has the recovered race";
    runQueuedCalls();
    EXPECT_TRUE(script.host.messages.empty()) << "the box waits for the race running now to end";
    archive.endRace(RaceEnd::Finished);
    EXPECT_TRUE(script.host.messages.empty()) << "the box waits for the window's thread";
    script.host.expectMessage("Program minule nebyl řádně ukončen během závodu.\n\n"
                              "Závod zahájený 2026-12-06 19:30:05 byl přerušen. Uložená kola: 2.\n"
                              "Záznam je ve složce " + killed.string() + ".");
    runQueuedCalls();
    ASSERT_EQ(script.host.messages.size(), 1u);
    EXPECT_EQ(script.host.messages[0].caption, "Informace");
    EXPECT_EQ(script.host.messages[0].icon, MessageIcon::Information);

    // The race running now ended as it did; the next search finds nothing.
    archive.announceInterruptedRaces();
    archive.waitForArchiveWork();
    runQueuedCalls();
    EXPECT_EQ(script.host.messages.size(), 1u);
    EXPECT_EQ(readJournalFile(running)->end, RaceEnd::Finished);
}

// The last forced write of the journal, at the race's end, fails on the
// journal's own thread: the warning still comes, once, on the window's.
TEST_F(ArchiveRig, FailedLastForcedWriteWarnsOnce)
{
    RaceArchive archive(script.engine, script.host, link, racesDir());
    archive.beginRace();
    const fs::path journal = archive.raceFolder() / kJournalFileName;
    script.startRace();
    forgetForcedWrites();
    failForcedWritesWith(EIO);
    archive.endRace(RaceEnd::Finished);
    const bool forcedHere = forcedWriteOn(std::this_thread::get_id());
    // The next start lets the journal go, which waits for its last write.
    archive.setRecording(false);
    archive.beginRace();
    failForcedWritesWith(0);
    EXPECT_FALSE(forcedHere) << "the window waited for the disk";
    script.host.expectMessage("Záznam závodu nelze ukládat (" + journal.string() + "): " + fileErrorReason(EIO)
                              + ". Závod pokračuje; jeho zpráva vznikne z průběhu závodu v programu.");
    runQueuedCalls();
    runQueuedCalls();
    ASSERT_EQ(script.host.messages.size(), 1u);
    EXPECT_EQ(script.host.messages[0].caption, "Varování");
    archive.waitForArchiveWork();
    EXPECT_EQ(readJournalFile(journal)->end, RaceEnd::Finished);
}

TEST(TerminationSignals, EachSignalReachesTheEventLoop)
{
    TerminationSignals termination;
    QSignalSpy received(&termination, &TerminationSignals::received);
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        ::raise(signalNumber);
        ASSERT_TRUE(received.wait(5000)) << signalNumber;
        EXPECT_EQ(received.takeFirst().at(0).toInt(), signalNumber);
    }
}
