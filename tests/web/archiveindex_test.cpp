// The archive as the board serves it, on a races directory built in a temp
// folder: the listing with winners read from journals, the reports served as
// they are, and every way a link or a stray file could lead elsewhere.
#include "web/archiveindex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class ArchiveIndexTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("tramelo-archive-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(races());
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path races() const { return root_ / "races"; }
    fs::path outside() const { return root_ / "outside"; }

    void write(const fs::path &file, const std::string &text)
    {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    /// A finished race with the example journal (Adam wins) and a report.
    void finishedRace(const std::string &folder)
    {
        fs::create_directories(races() / folder);
        fs::copy_file("data/journal/example.jsonl", races() / folder / "journal.jsonl");
        write(races() / folder / "report.html", "<p>" + folder + "</p>");
    }

    fs::path root_;
};

} // namespace

TEST_F(ArchiveIndexTest, ListsRaceFoldersNewestFirstWithWinners)
{
    finishedRace("2026-12-07_19-30-05");
    finishedRace("2026-12-08_09-05-00");
    // Killed before anyone finished: no winner, no report yet.
    fs::create_directories(races() / "2026-12-08_10-00-00");
    write(races() / "2026-12-08_10-00-00" / "journal.jsonl",
          "{\"format\":\"tramelo-journal\",\"version\":1,\"startedAt\":\"2026-12-08 10:00:00\"}\n");
    // Not races: a stray file, a folder of another name, and a race folder
    // that is a link to a folder elsewhere.
    write(races() / "2026-12-09_10-00-00", "a file");
    fs::create_directories(races() / "backup");
    fs::create_directories(outside());
    fs::create_directory_symlink(outside(), races() / "2026-12-10_10-00-00");

    ArchiveIndex index(races());
    const std::vector<ArchivedRace> listed = index.races();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].folder, "2026-12-08_10-00-00");
    EXPECT_EQ(listed[0].winner, "");
    EXPECT_FALSE(listed[0].hasReport);
    EXPECT_EQ(listed[1].folder, "2026-12-08_09-05-00");
    EXPECT_EQ(listed[1].startedAt, "8. 12. 2026 09:05:00");
    EXPECT_EQ(listed[2].winner, "Adam");
    EXPECT_TRUE(listed[2].hasReport);

    // A journal that grows (the race under way) is read again.
    fs::copy_file("data/journal/example.jsonl", races() / "2026-12-08_10-00-00" / "journal.jsonl",
                  fs::copy_options::overwrite_existing);
    EXPECT_EQ(index.races()[0].winner, "Adam");

    const std::string html = archiveIndexHtml(listed);
    EXPECT_NE(html.find("<a href=\"/races/2026-12-08_09-05-00/report.html\">"), std::string::npos);
    EXPECT_EQ(html.find("2026-12-08_10-00-00/report.html"), std::string::npos);
}

TEST_F(ArchiveIndexTest, WinnerNamesAreEscapedInThePage)
{
    const std::string html = archiveIndexHtml({{"2026-12-07_19-30-05", "7. 12. 2026 19:30:05",
                                                     "<script>alert(1)</script>", true}});
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;"), std::string::npos);
    EXPECT_NE(archiveIndexHtml({}).find("Archiv je prázdný."), std::string::npos);
}

TEST_F(ArchiveIndexTest, ServesOnlyRealReportsInsideTheArchive)
{
    finishedRace("2026-12-07_19-30-05");
    ArchiveIndex index(races());
    EXPECT_EQ(index.report("2026-12-07_19-30-05"), "<p>2026-12-07_19-30-05</p>");

    write(outside() / "secret.html", "secret");
    write(outside() / "2026-12-07_20-00-00" / "report.html", "secret");
    // A report that is a link out of the archive.
    fs::create_directories(races() / "2026-12-07_19-45-00");
    fs::create_symlink(outside() / "secret.html", races() / "2026-12-07_19-45-00" / "report.html");
    // A race folder that is a link out of the archive.
    fs::create_directory_symlink(outside() / "2026-12-07_20-00-00", races() / "2026-12-07_20-00-00");
    // A report that is a folder, and one too large to serve.
    fs::create_directories(races() / "2026-12-07_21-00-00" / "report.html");
    write(races() / "2026-12-07_22-00-00" / "report.html", "");
    fs::resize_file(races() / "2026-12-07_22-00-00" / "report.html", kReportSizeLimit + 1);

    for (const char *folder : {"2026-12-07_19-45-00", "2026-12-07_20-00-00", "2026-12-07_21-00-00",
                               "2026-12-07_22-00-00", "2026-12-07_23-00-00", "..", "../outside",
                               "2026-12-07_19-30-05/../../outside"}) {
        SCOPED_TRACE(folder);
        EXPECT_FALSE(index.report(folder));
    }
}

TEST_F(ArchiveIndexTest, ServesTheNewestWrittenNightAndSeasonAndTheRecordsButNoLink)
{
    ArchiveIndex index(races());
    EXPECT_FALSE(index.newestNightPage());
    EXPECT_FALSE(index.recordsPage());
    const fs::path pages = root_ / "pages";
    write(pages / "night-2026-11-30.html", "older night");
    write(pages / "night-2026-12-07.html", "newest night");
    write(pages / "night-2026-12-07.csv", "not a page");
    write(pages / "season-2026.html", "year");
    write(pages / "season-zima.html", "a named season sorts after the years but is not one");
    write(pages / "records.html", "records");
    EXPECT_EQ(index.newestNightPage(), "newest night");
    EXPECT_EQ(index.newestSeasonPage(), "year");
    EXPECT_EQ(index.recordsPage(), "records");

    // A page that is a link to a file elsewhere is never read.
    write(outside() / "secret.html", "secret");
    fs::remove(pages / "records.html");
    fs::create_symlink(outside() / "secret.html", pages / "records.html");
    EXPECT_FALSE(index.recordsPage());
    fs::create_symlink(outside() / "secret.html", pages / "night-2027-01-01.html");
    EXPECT_FALSE(index.newestNightPage());
}
