// The journal's last forced write at the race's end runs on the writer's own
// thread, so the window never waits for the disk, and a failure of it still
// reaches the user once; the journal on the disk is whole either way.
#include "support/failingsync.h"
#include "support/journaltestsupport.h"
#include "record/journalreader.h"
#include "record/journalwriter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <mutex>

namespace {

struct JournalEnd : TempFolder {
    void TearDown() override
    {
        failForcedWritesWith(0);
        TempFolder::TearDown();
    }
    std::unique_ptr<JournalWriter> raceUpToItsEnd()
    {
        auto writer = JournalWriter::open(dir / kJournalFileName, "2026-12-07 19:30:05", [this](const std::string &text) {
            std::lock_guard lock(mutex);
            failures.push_back(text);
            reportedOn = std::this_thread::get_id();
        });
        writer->startSignal(10'000);
        writer->lapCounted({0, 1, 15'000, 15'000, 5'000, 457, 1, "0:05:000", "", 8});
        return writer;
    }
    std::mutex mutex;
    std::vector<std::string> failures;
    std::thread::id reportedOn;
};

} // namespace

TEST_F(JournalEnd, LastForcedWriteIsNeverOnTheCallersThreadAndItsFailureIsReportedOnce)
{
    for (const int error : {0, EIO}) {
        SCOPED_TRACE(error);
        failures.clear();
        std::filesystem::remove(dir / kJournalFileName);
        std::unique_ptr<JournalWriter> writer = raceUpToItsEnd();
        forgetForcedWrites();
        failForcedWritesWith(error);
        writer->raceEnded(RaceEnd::Finished, 30'000);
        writer->raceEnded(RaceEnd::Closed, 31'000); // changes nothing
        EXPECT_FALSE(forcedWriteOn(std::this_thread::get_id()));
        // Going, the writer waits for its last forced write.
        writer.reset();
        failForcedWritesWith(0);
        if (error == 0) {
            EXPECT_TRUE(failures.empty());
        } else {
            ASSERT_EQ(failures.size(), 1u);
            EXPECT_NE(failures[0].find("Záznam závodu nelze ukládat"), std::string::npos) << failures[0];
            EXPECT_NE(reportedOn, std::this_thread::get_id());
        }
        // The journal as read back has every line and its one end.
        const std::optional<RaceLog> log = readJournalFile(dir / kJournalFileName);
        ASSERT_TRUE(log);
        EXPECT_EQ(log->end, RaceEnd::Finished);
        EXPECT_EQ(log->laps.size(), 1u);
        EXPECT_EQ(log->damagedLines, 0);
    }
}

// A failure reported during the race is not told again at its end.
TEST_F(JournalEnd, FailureDuringTheRaceIsNotToldAgainAtTheEnd)
{
    std::unique_ptr<JournalWriter> writer = raceUpToItsEnd();
    failForcedWritesWith(EIO);
    writer->finished({0, 2, 20'000}); // asks for a forced write at once
    // The next line written on this thread reports the failed forced write.
    for (int lap = 2; lap < 500 && failures.empty(); ++lap) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        writer->lapCounted({1, lap, 20'000u + lap, 20'000 + lap, 5'000, 457, 2, "0:05:000", "", 8});
    }
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(reportedOn, std::this_thread::get_id());
    writer->raceEnded(RaceEnd::Finished, 30'000);
    writer.reset();
    EXPECT_EQ(failures.size(), 1u);
}
