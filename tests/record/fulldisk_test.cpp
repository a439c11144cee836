// The record on a disk that fills up: a small tmpfs mounted for the test
// (skipped where the test may not mount), filled to the free space each case
// needs. The journal comes first: it reserves its room, the line capture
// gives way, and when even the journal runs out it says so in its last line.
#include "fakes/recordingmessages.h"
#include "support/journaltestsupport.h"
#include "record/journalreader.h"
#include "record/journalwriter.h"
#include "record/linecapture.h"
#include "record/racereport.h"
#include "record/startuprecovery.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

namespace fs = std::filesystem;

namespace {

struct SmallDisk : TempFolder {
    /// False, with the reason, where this test may not mount one.
    bool mountDisk(std::uintmax_t size)
    {
        const std::string options = "size=" + std::to_string(size);
        if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            cannotMount = std::string("cannot mount a small disk here (") + std::strerror(errno) + "); it needs root";
            return false;
        }
        mounted = true;
        return true;
    }
    void TearDown() override
    {
        if (mounted)
            ::umount(dir.c_str());
        TempFolder::TearDown();
    }
    std::uintmax_t freeBytes() const
    {
        struct statvfs disk {};
        ::statvfs(dir.c_str(), &disk);
        return std::uintmax_t(disk.f_bavail) * disk.f_frsize;
    }
    /// Takes the disk's free space down to \a leave bytes.
    void fillLeaving(std::uintmax_t leave)
    {
        const int fd = ::open((dir / ("filler" + std::to_string(++fillers))).c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        const std::uintmax_t take = freeBytes() > leave ? freeBytes() - leave : 0;
        if (take > 0) {
            ASSERT_EQ(::fallocate(fd, 0, 0, static_cast<off_t>(take)), 0) << std::strerror(errno);
        }
        ::close(fd);
    }
    std::unique_ptr<JournalWriter> openJournal()
    {
        return JournalWriter::open(dir / kJournalFileName, "2026-12-07 19:30:05",
                                           [this](const std::string &reason) { failures.push_back(reason); });
    }
    static void lap(JournalWriter &journal, int seat, std::int64_t count)
    {
        const auto at = static_cast<std::int32_t>(10'000 + 5'000 * count + 100 * seat);
        journal.lapCounted({seat, count, static_cast<std::uint32_t>(at), at, 5'000, 457, seat + 1, "0:05:000",
                            " [ 0:00:100 ]", 8});
    }
    bool mounted = false;
    std::string cannotMount;
    int fillers = 0;
    std::vector<std::string> failures;
};

} // namespace

// 100 KiB free at the start: the journal holds its room, the capture does not
// start and says why; every lap of a 6-car, 8-lap race reaches the journal,
// which tells that the capture stopped for a full disk, and the next start
// says so instead of speaking of a crash.
TEST_F(SmallDisk, JournalKeepsEveryLapAndTheCaptureGivesWay)
{
    if (!mountDisk(1u << 20))
        GTEST_SKIP() << cannotMount;
    fillLeaving(100u << 10);
    auto journal = openJournal();
    EXPECT_GE(journal->reservedAhead(), 32u << 10);
    EXPECT_LE(freeBytes(), 64u << 10) << "the reserve is taken from the disk";

    std::string reason;
    int error = 0;
    auto capture = LineCaptureWriter::open(dir / "line.capture", [&](const std::string &why) {
        reason = why;
        error = errno;
    });
    EXPECT_EQ(capture, nullptr);
    EXPECT_EQ(error, ENOSPC);
    EXPECT_EQ(reason.rfind("na disku zbývá jen ", 0), 0u) << reason;
    journal->recordStopped(StoppedPart::Part::LineCapture, error, 9'000);

    for (std::int64_t count = 1; count <= 8; ++count)
        for (int seat = 0; seat < 6; ++seat)
            lap(*journal, seat, count);
    journal->raceEnded(RaceEnd::Finished, 60'000);
    EXPECT_TRUE(journal->ok());
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(journal->reservedAhead(), 0u) << "what the race did not use goes back to the disk";
    journal.reset();

    const std::optional<RaceLog> log = readJournalFile(dir / kJournalFileName);
    ASSERT_TRUE(log);
    EXPECT_EQ(log->laps.size(), 48u);
    EXPECT_EQ(log->end, RaceEnd::Finished);
    EXPECT_EQ(log->stopped, (std::vector<StoppedPart>{{StoppedPart::Part::LineCapture,
                                                                StoppedPart::Cause::DiskFull, 9'000, 0}}));

    // The races folder is the disk itself here.
    fs::create_directory(dir / "2026-12-07_19-30-05");
    fs::rename(dir / kJournalFileName, dir / "2026-12-07_19-30-05" / kJournalFileName);
    RecordingMessages messages;
    announceInterruptedRaces(dir, messages);
    announceInterruptedRaces(dir, messages);
    ASSERT_EQ(messages.shown.size(), 1u) << "told once";
    EXPECT_EQ(messages.shown[0].text, "Záznam minulého závodu není úplný.\n\nZávod zahájený 2026-12-07 19:30:05: "
                                      "záznam komunikace s hardwarem se zastavil po 0 kolech, protože byl disk plný. "
                                      "Závod doběhl do konce; uložená kola: 48.\nZáznam je ve složce "
                                          + (dir / "2026-12-07_19-30-05").string() + ".");
}

// The disk fills up entirely during the race: the journal grows into what is
// left, then stops with a line saying the disk was full and still ends with
// the race's end. The disk holds the laps before the stop and a report from
// it says which are missing; the race as counted holds them all.
TEST_F(SmallDisk, JournalThatRunsOutSaysTheDiskWasFullAndTheCountKeepsEveryLap)
{
    if (!mountDisk(256u << 10))
        GTEST_SKIP() << cannotMount;
    fillLeaving(40u << 10);
    auto journal = openJournal();
    fillLeaving(0);
    std::int64_t written = 0;
    for (std::int64_t count = 1; count <= 400; ++count) {
        lap(*journal, 0, count);
        written = count;
    }
    journal->raceEnded(RaceEnd::Finished, 2'100'000);
    EXPECT_FALSE(journal->ok());
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("disk je plný"), std::string::npos) << failures[0];

    const std::optional<RaceLog> disk = readJournalFile(dir / kJournalFileName);
    ASSERT_TRUE(disk);
    EXPECT_EQ(disk->end, RaceEnd::Finished) << "the end line went into the bytes held back for it";
    EXPECT_EQ(disk->damagedLines, 0);
    ASSERT_EQ(disk->stopped.size(), 1u);
    EXPECT_EQ(disk->stopped[0].part, StoppedPart::Part::Journal);
    EXPECT_EQ(disk->stopped[0].cause, StoppedPart::Cause::DiskFull);
    EXPECT_EQ(disk->stopped[0].lapsBefore, disk->laps.size());
    EXPECT_GT(disk->laps.size(), 50u);
    EXPECT_LT(disk->laps.size(), 400u);
    EXPECT_NE(raceReportHtml(*disk).find("po " + std::to_string(disk->laps.size())
                                                 + " kolech, protože disk byl plný. Kola po této chvíli ve zprávě chybí"),
              std::string::npos);

    RaceLog counted = readJournal(journal->countedText());
    EXPECT_EQ(counted.laps.size(), std::size_t(written));
    EXPECT_EQ(counted.end, RaceEnd::Finished);
    EXPECT_EQ(counted.damagedLines, 0);
    ASSERT_EQ(counted.stopped.size(), 1u);
    EXPECT_EQ(counted.stopped[0].lapsBefore, disk->laps.size());
}
