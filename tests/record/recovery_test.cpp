#include "support/journaltestsupport.h"
#include "record/journalreader.h"
#include "record/recovery.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const std::string kHeader = R"({"format":"tramelo-journal","version":1,"startedAt":"2026-12-07 19:30:05"})" "\n";
const std::string kLap = R"({"type":"lap","hostMs":15000,"seat":0,"lap":1,"lapTimeText":"0:05:000"})" "\n";
const std::string kEnd = R"({"type":"end","hostMs":40000,"how":"signalled"})" "\n";

struct Recovery : TempFolder {
    fs::path race(const std::string &name, const std::string &journal)
    {
        const fs::path folder = dir / name;
        fs::create_directory(folder);
        writeBytes(folder / kJournalFileName, journal);
        return folder;
    }
};

} // namespace

// A killed race (its last line cut) and a foreign journal are found; races
// that ended, folders without a journal, plain files and symbolic links
// (one of them a loop) are not. Once marked, neither is found again: the
// killed race keeps every lap and ends "interrupted", the foreign journal is
// left byte for byte as it was.
TEST_F(Recovery, FindsEachOpenRaceOnceAndKeepsWhatItHolds)
{
    const fs::path killed = race("2026-12-07_19-30-05", kHeader + kLap + kLap + R"({"type":"lap","ho)");
    const std::string foreignBytes = std::string("\x89PNG\r\n\x1a\n", 8);
    const fs::path foreign = race("2026-12-07_20-00-00", foreignBytes);
    const fs::path ended = race("2026-12-07_18-00-00", kHeader + kLap + kEnd);
    fs::create_directory(dir / "no-journal");
    writeBytes(dir / "a-file", kHeader);
    fs::create_directory_symlink(killed, dir / "link-to-a-race");
    fs::create_directory_symlink(dir / "loop", dir / "loop");

    const std::vector<OpenRace> open = findOpenRaces(dir);
    ASSERT_EQ(open.size(), 2u);
    EXPECT_EQ(open[0].folder, killed);
    EXPECT_EQ(open[0].startedAt, "2026-12-07 19:30:05");
    EXPECT_EQ(open[0].lapsKept, 2u);
    EXPECT_FALSE(open[0].damaged);
    EXPECT_EQ(open[1].folder, foreign);
    EXPECT_EQ(open[1].startedAt, "2026-12-07_20-00-00") << "the folder's name when the journal has none";
    EXPECT_TRUE(open[1].damaged);
    EXPECT_EQ(open[1].reason, "soubor není záznam závodu tohoto programu");

    for (const OpenRace &race : open)
        EXPECT_TRUE(markInterrupted(race.folder));
    EXPECT_TRUE(findOpenRaces(dir).empty());

    const std::optional<RaceLog> log = readJournalFile(killed / kJournalFileName);
    ASSERT_TRUE(log);
    EXPECT_EQ(log->end, RaceEnd::Interrupted);
    EXPECT_EQ(log->laps.size(), 2u);
    EXPECT_EQ(log->damagedLines, 1) << "the cut line stays cut, the end line after it is whole";
    EXPECT_EQ(readBytes(foreign / kJournalFileName), foreignBytes);
    EXPECT_TRUE(markInterrupted(ended));
    EXPECT_EQ(readBytes(ended / kJournalFileName), kHeader + kLap + kEnd) << "an ended race is left alone";
}

// A races folder that is missing or is a file finds nothing; a race folder
// that is not there cannot be marked, and says so.
TEST_F(Recovery, MissingFoldersFindNothingAndMarkNothing)
{
    EXPECT_TRUE(findOpenRaces(dir / "never-made").empty());
    writeBytes(dir / "races-file", "");
    EXPECT_TRUE(findOpenRaces(dir / "races-file").empty());
    EXPECT_FALSE(markInterrupted(dir / "never-made"));
}
