#include "fakes/recordingmessages.h"
#include "support/journaltestsupport.h"
#include "record/journalreader.h"
#include "record/reportfiles.h"
#include "record/startuprecovery.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

const std::string kHeader = R"({"format":"tramelo-journal","version":1,"startedAt":"2026-12-07 19:30:05"})" "\n";
const std::string kLap = R"({"type":"lap","hostMs":15000,"seat":0,"lap":1})" "\n";

struct StartupRecovery : TempFolder {
    fs::path race(const std::string &name, const std::string &journal) { return writeRaceFolder(dir, name, journal); }
    RecordingMessages messages;
};

} // namespace

TEST_F(StartupRecovery, CleanStartShowsNothing)
{
    race("2026-12-07_18-00-00", kHeader + kLap + R"({"type":"end","hostMs":1,"how":"signalled"})" "\n");
    announceInterruptedRaces(dir, messages);
    announceInterruptedRaces(dir / "never-made", messages);
    EXPECT_TRUE(messages.shown.empty());
}

// One box names every race left open with its start, laps and folder, and a
// damaged journal with its reason; the next start shows nothing.
TEST_F(StartupRecovery, OneBoxTellsOfEveryOpenRaceOnce)
{
    const fs::path killed = race("2026-12-07_19-30-05", kHeader + kLap + kLap + kLap + R"({"type":"la)");
    const fs::path foreign = race("2026-12-07_20-00-00", "\x7f" "ELF");

    announceInterruptedRaces(dir, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    const Message &box = messages.shown[0];
    EXPECT_EQ(box.caption, "Informace");
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_EQ(box.text, "Program minule nebyl řádně ukončen během závodů.\n\n"
                        "Závod zahájený 2026-12-07 19:30:05 byl přerušen. Uložená kola: 3.\n"
                        "Záznam je ve složce " + killed.string() + ".\n\n"
                        "Záznam závodu ve složce " + foreign.string()
                        + " nelze přečíst (soubor není záznam závodu tohoto programu). Byl ponechán beze změny.");
    EXPECT_EQ(readBytes(foreign / kJournalFileName), "\x7f" "ELF");

    announceInterruptedRaces(dir, messages);
    EXPECT_EQ(messages.shown.size(), 1u);
}

// A race whose mark cannot be written (here: a file size limit, which root
// cannot write past either) is announced with a note that it will come again
// instead of a promise of silence.
TEST_F(StartupRecovery, UnmarkableRaceIsAnnouncedWithANoteThatItWillComeAgain)
{
    const fs::path killed = race("2026-12-07_19-30-05", kHeader + kLap);
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit none = before;
    none.rlim_cur = (kHeader + kLap).size();
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    announceInterruptedRaces(dir, messages);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_DFL);

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("Program minule nebyl řádně ukončen během závodu.\n\n", 0), 0u);
    EXPECT_NE(messages.shown[0].text.find("objeví i při příštím spuštění"), std::string::npos);
    EXPECT_EQ(readBytes(killed / kJournalFileName), kHeader + kLap);
}

// A runaway journal over the read limit is named once as too large and never
// written to; one whose last line, far beyond the limit, is a real end is
// not announced at all.
TEST_F(StartupRecovery, HugeJournalIsAnnouncedOnceAndLeftAsItWas)
{
    const auto huge = [&](const std::string &name, const std::string &last) {
        const fs::path folder = race(name, kHeader + kLap);
        const fs::path journal = folder / kJournalFileName;
        fs::resize_file(journal, (std::uintmax_t{70} << 20) - last.size() - 1);
        std::ofstream(journal, std::ios::app | std::ios::binary) << '\n' << last;
        return journal;
    };
    const fs::path runaway = huge("2026-12-07_19-30-05", kLap);
    const fs::path ended = huge("2026-12-07_20-00-00", R"({"type":"end","hostMs":9,"how":"finished"})" "\n");
    const auto lastBytes = [](const fs::path &file) { return readBytes(file).substr(fs::file_size(file) - 200); };
    const std::string runawayTail = lastBytes(runaway);
    const std::string endedTail = lastBytes(ended);

    for (int start = 0; start < 3; ++start)
        announceInterruptedRaces(dir, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Program minule nebyl řádně ukončen během závodu.\n\nZáznam závodu ve složce "
                                          + runaway.parent_path().string()
                                          + " nelze přečíst (záznam je příliš velký (70 MiB, závod zapíše nejvýše "
                                            "jednotky MiB)). Byl ponechán beze změny.");
    for (const auto &[file, tail] : {std::pair{runaway, runawayTail}, std::pair{ended, endedTail}}) {
        EXPECT_EQ(fs::file_size(file), std::uintmax_t{70} << 20) << file;
        EXPECT_EQ(lastBytes(file), tail) << file;
        EXPECT_FALSE(fs::exists(file.parent_path() / kReportFileName)) << file;
    }
}
