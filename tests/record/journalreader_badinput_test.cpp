#include "support/journaltestsupport.h"
#include "record/journalreader.h"

#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>

namespace {

const std::string kHeader = R"({"format":"tramelo-journal","version":1,"startedAt":"2026-12-07 19:30:05"})";
const std::string kLap =
    R"({"type":"lap","hostMs":15000,"seat":0,"lap":1,"hardwareMs":15000,"lapMs":5000,"speedKmh":576,)"
    R"("position":1,"lapTimeText":"0:05:000","gapText":"x","tank":8})";

} // namespace

// Lines the reader cannot take are counted and skipped; the good lines
// around them are kept, and nothing is half taken.
TEST(JournalReader, CountsDamagedLinesAndKeepsTheRest)
{
    const struct {
        const char *why;
        std::string line;
    } damaged[] = {
        {"binary", std::string("\x00\xff\xfe{\x01\n\x7f", 7)},
        {"not an object", "[1,2,3]"},
        {"unknown type", R"({"type":"teleport","hostMs":1})"},
        {"no type", R"({"hostMs":1,"seat":0})"},
        {"seat out of range", R"({"type":"finished","hostMs":1,"seat":8,"lap":3})"},
        {"seat missing", R"({"type":"disqualified","hostMs":1})"},
        {"lap of the wrong kind", R"({"type":"lap","hostMs":1,"seat":0,"lap":"1"})"},
        {"hostMs too large", R"({"type":"startSignal","hostMs":4294967296})"},
        {"hardwareMs negative", R"({"type":"startCrossing","hostMs":1,"seat":0,"hardwareMs":-1})"},
        {"unknown end", R"({"type":"end","hostMs":1,"how":"exploded"})"},
        {"racers not eight", R"({"type":"settings","hostMs":1,"trackLength":"9","racers":["A"]})"},
        {"answer unknown", R"({"type":"falseStartAnswer","hostMs":1,"seat":0,"answer":"maybe"})"},
        {"too long", "{\"type\":\"lap\",\"gapText\":\"" + std::string(20'000, 'x') + "\"}"},
        {"deeply nested", std::string(10'000, '[')},
        {"cut short", kLap.substr(0, 60)},
    };
    std::string text = kHeader + "\r\n" + kLap + "\n\n";
    for (const auto &bad : damaged)
        text += bad.line + "\n" + kLap + "\n";

    const RaceLog log = readJournal(text);
    EXPECT_EQ(log.startedAt, "2026-12-07 19:30:05");
    EXPECT_EQ(log.damagedLines, 16) << "every bad line, the binary one holding two";
    EXPECT_EQ(log.laps.size(), std::size(damaged) + 1);
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(log.trackLength, "") << "a bad settings line is not half taken";
    EXPECT_EQ(log.end, RaceEnd::Open);
}

// A text without our header is read tolerantly (the header counts as
// damaged); a file without it is refused with a reason.
TEST(JournalReader, FirstLineMustBeTheHeader)
{
    const RaceLog headless = readJournal(kLap + "\n" + kLap + "\n");
    EXPECT_EQ(headless.damagedLines, 1);
    EXPECT_EQ(headless.laps.size(), 1u);
    EXPECT_TRUE(isJournalHeader(kHeader));
    EXPECT_FALSE(isJournalHeader(R"({"format":"tramelo-journal","version":2})"));
    EXPECT_FALSE(isJournalHeader(R"({"format":"other","version":1})"));
    EXPECT_FALSE(isJournalHeader(R"({"format":"tramelo-journal","version":"1"})"));
}

struct JournalReaderFile : TempFolder {};

// Files that are not journals are refused with a reason, whatever they are:
// foreign, empty, newer, a folder or a named pipe (which must not hang).
TEST_F(JournalReaderFile, RefusesWhatIsNoJournalWithAReason)
{
    writeBytes(dir / "foreign", "[Setting]\nScale=32\n");
    writeBytes(dir / "empty", "");
    writeBytes(dir / "newer", R"({"format":"tramelo-journal","version":2,"startedAt":"x"})" "\n");
    std::filesystem::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    const struct {
        const char *name;
        std::string reason;
    } cases[] = {
        {"foreign", "soubor není záznam závodu tohoto programu"},
        {"empty", "záznam je prázdný"},
        {"newer", "záznam má novější formát (verze 2), než tento program umí číst"},
        {"folder", "záznam není obyčejný soubor"},
        {"pipe", "záznam není obyčejný soubor"},
        {"missing", "soubor " + (dir / "missing").string() + " nelze otevřít: soubor nebo složka neexistuje"},
    };
    for (const auto &c : cases) {
        std::string error;
        EXPECT_FALSE(readJournalFile(dir / c.name, &error)) << c.name;
        EXPECT_EQ(error, c.reason) << c.name;
    }
}

// A file larger than the reader's limit is read up to the limit: what lies
// beyond it is counted, not read.
TEST_F(JournalReaderFile, ReadsAHugeFileOnlyUpToItsLimit)
{
    const auto file = dir / "huge.jsonl";
    writeBytes(file, kHeader + "\n" + kLap + "\n");
    const auto extra = std::uintmax_t{3} << 20;
    std::filesystem::resize_file(file, kJournalReadLimit + extra);

    const std::optional<RaceLog> log = readJournalFile(file);
    ASSERT_TRUE(log);
    EXPECT_EQ(log->laps.size(), 1u);
    EXPECT_EQ(log->unreadBytes, extra);
    EXPECT_EQ(log->damagedLines, 1) << "the zeros up to the limit are one line";
}

// The end of a journal over the limit is its last line, however far beyond
// the limit: an end line within the first bytes does not count, a cut last
// line means no end, and a glance reads the header and the end alone.
TEST_F(JournalReaderFile, DecidesAHugeFilesEndFromItsLastLine)
{
    const auto file = dir / "huge.jsonl";
    const std::string earlyEnd = R"({"type":"end","hostMs":5,"how":"closed"})" "\n";
    const auto huge = [&](const std::string &last) {
        writeBytes(file, kHeader + "\n" + kLap + "\n" + earlyEnd);
        std::filesystem::resize_file(file, kJournalReadLimit + (std::uintmax_t{1} << 20));
        std::ofstream(file, std::ios::app | std::ios::binary) << "\n" << kLap << "\n" << last;
    };
    huge(R"({"type":"end","hostMs":90000,"how":"finished"})" "\n");
    std::optional<RaceLog> log = readJournalFile(file);
    ASSERT_TRUE(log);
    EXPECT_EQ(log->end, RaceEnd::Finished);
    EXPECT_EQ(log->endHostMs, 90000);
    EXPECT_EQ(log->laps.size(), 1u) << "the lap beyond the limit is not read";

    log = readJournalFile(file, nullptr, OversizedJournal::HeaderAndEndOnly);
    ASSERT_TRUE(log);
    EXPECT_EQ(log->end, RaceEnd::Finished);
    EXPECT_TRUE(log->laps.empty());
    EXPECT_EQ(log->unreadBytes, std::filesystem::file_size(file) - (kHeader.size()));

    for (const std::string &last : {std::string(R"({"type":"end","hostMs":90000,"how":"fini)"), kLap + "\n",
                                    std::string(R"({"type":"end","hostMs":1,"how":"later"})" "\n")}) {
        huge(last);
        for (const auto part : {OversizedJournal::UpToLimit, OversizedJournal::HeaderAndEndOnly}) {
            log = readJournalFile(file, nullptr, part);
            ASSERT_TRUE(log);
            EXPECT_EQ(log->end, RaceEnd::Open) << last;
        }
    }
}
