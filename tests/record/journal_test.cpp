#include "support/eventfulrace.h"
#include "support/journaltestsupport.h"
#include "record/journalreader.h"
#include "record/journalwriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

constexpr const char *kStartedAt = "2026-12-07 19:30:05";

struct JournalFile : TempFolder {
    /// Plays the eventful race into a journal that ends Finished; gives the table's laps.
    std::vector<LapEntry> writeRace(const std::filesystem::path &file)
    {
        auto writer = JournalWriter::open(file, kStartedAt, [this](const std::string &reason) {
            failures.push_back(reason);
        });
        RaceScript script(eventfulrace::settings());
        script.engine.setRecorder(writer.get());
        std::vector<LapEntry> laps = eventfulrace::play(script);
        writer->raceEnded(RaceEnd::Finished, 32'000);
        writer->raceEnded(RaceEnd::Closed, 33'000); // the end line stays the last
        return laps;
    }

    std::vector<std::string> failures;
};

} // namespace

// What the writer wrote of a whole race reads back as the table showed it:
// every lap, every event with its seat and lap count, the settings and the end.
TEST_F(JournalFile, ReadsBackTheRaceTheWriterWrote)
{
    const auto file = dir / kJournalFileName;
    const std::vector<LapEntry> table = writeRace(file);
    EXPECT_TRUE(failures.empty());

    std::string error;
    const std::optional<RaceLog> log = readJournalFile(file, &error);
    ASSERT_TRUE(log) << error;
    EXPECT_EQ(log->damagedLines, 0);
    EXPECT_EQ(log->startedAt, kStartedAt);
    EXPECT_EQ((std::vector<std::string>{log->trackLength, log->scale, log->lapsPerRide, log->racers[1].name,
                                        log->racers[3].name}),
              (std::vector<std::string>{"20", "32", "3", "Bára", ""}));
    EXPECT_EQ(log->racers[7].seat, 7);
    EXPECT_EQ(log->laps, table);
    EXPECT_EQ(log->end, RaceEnd::Finished);
    EXPECT_EQ(log->endHostMs, 32'000);
    EXPECT_EQ(log->events, (std::vector<EventEntry>{
                               {EventKind::StartCrossing, 2, 0, 700, 2200, ""},
                               {EventKind::FalseStart, 2, 0, 0, 2200, "yes"},
                               {EventKind::StartSignal, -1, 0, 0, 6600, ""},
                               {EventKind::StartCrossing, 0, 0, 10'000, 10'000, ""},
                               {EventKind::StartCrossing, 1, 0, 10'000, 10'000, ""},
                               {EventKind::StartCrossing, 2, 0, 10'000, 10'000, ""},
                               {EventKind::FuelLow, 1, 1, 0, 15'400, ""},
                               {EventKind::DisqualifyRequested, 2, 0, 0, 15'400, ""},
                               {EventKind::Disqualified, 2, 1, 0, 16'000, ""},
                               {EventKind::OffTrack, 0, 2, 0, 20'000, "1"},
                               {EventKind::ReadmitRequested, 2, 1, 0, 20'000, ""},
                               {EventKind::Readmitted, 2, 1, 21'000, 21'000, ""},
                               {EventKind::FuelEmpty, 1, 2, 0, 21'500, ""},
                               {EventKind::Finished, 0, 3, 0, 25'000, ""},
                               {EventKind::Finished, 1, 3, 0, 27'000, ""},
                               {EventKind::Finished, 2, 3, 0, 31'000, ""},
                           }));
}

// The example in the documentation is this writer's output for the same race.
TEST_F(JournalFile, ExampleFileIsWhatTheWriterWrites)
{
    const auto file = dir / kJournalFileName;
    writeRace(file);
    EXPECT_EQ(readBytes(file), readBytes(TRAMELO_TEST_DATA_DIR "/journal/example.jsonl"))
        << "the writer's output is in " << file << " (kept: the folder is removed only on success)";
    if (HasFailure())
        dir.clear();
}

// A process killed in the middle of a write leaves a line cut anywhere: each
// cut reads back every whole line and counts the cut one as damaged.
TEST_F(JournalFile, KilledWriterKeepsEveryWholeLine)
{
    const auto file = dir / kJournalFileName;
    writeRace(file);
    const std::string whole = readBytes(file);
    const std::size_t headerEnd = whole.find('\n') + 1;
    for (std::size_t cut = headerEnd; cut <= whole.size(); ++cut) {
        const std::string_view kept(whole.data(), cut);
        const std::size_t lastLineStart = kept.rfind('\n', cut - 1) + 1;
        const bool cutMidLine = cut < whole.size() && whole[cut] != '\n' && whole[cut - 1] != '\n';
        std::size_t wholeLaps = 0;
        for (std::size_t at = kept.find("\"type\":\"lap\""); at != std::string_view::npos;
             at = kept.find("\"type\":\"lap\"", at + 1))
            wholeLaps += at < lastLineStart || !cutMidLine ? 1 : 0;

        const RaceLog log = readJournal(kept);
        ASSERT_EQ(log.laps.size(), wholeLaps) << "cut at " << cut;
        ASSERT_EQ(log.damagedLines, cutMidLine ? 1 : 0) << "cut at " << cut;
        ASSERT_EQ(log.startedAt, kStartedAt);
    }
}

// A write that fails mid-race (here the file-size limit, as a full disk would)
// stops the journal, is reported once, and the race runs to its end; the
// lines written before it are kept.
TEST_F(JournalFile, FailedWriteIsReportedOnceAndTheRaceGoesOn)
{
    const auto file = dir / kJournalFileName;
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1500;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::vector<LapEntry> table = writeRace(file);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(table.size(), 9u) << "the race ran to its end";
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("Záznam závodu nelze ukládat"), std::string::npos) << failures[0];
    const std::optional<RaceLog> log = readJournalFile(file);
    ASSERT_TRUE(log);
    EXPECT_GT(log->events.size(), 2u) << "the lines before the failure are kept";
    EXPECT_LT(log->laps.size(), table.size());
    EXPECT_EQ(log->end, RaceEnd::Open);
}

// A journal that cannot be created at all is reported once, and the writer
// records nothing after it; an existing journal is never overwritten.
TEST_F(JournalFile, JournalThatCannotBeCreatedIsReportedOnce)
{
    const auto existing = dir / "existing.jsonl";
    writeBytes(existing, "another race\n");
    for (const auto &file : {dir / "missing-folder" / "journal.jsonl", existing}) {
        failures.clear();
        writeRace(file);
        EXPECT_EQ(failures.size(), 1u) << file;
    }
    EXPECT_EQ(readBytes(existing), "another race\n");
    EXPECT_NE(failures[0].find("již existuje"), std::string::npos) << failures[0];
}
