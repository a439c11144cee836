// Every link of the archive's pages as written after the races leads to a
// file: followed in the pages folder itself, and followed from the board's
// /nights/, /season/ and /records/ (with and without the closing slash) to a
// route that serves that same file.
#include "record/archivepages.h"
#include "record/reportfiles.h"
#include "support/journaltestsupport.h"
#include "support/racejournalmaker.h"
#include "web/boardroutes.h"

#include <gtest/gtest.h>

#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> hrefsOf(const std::string &html)
{
    std::vector<std::string> hrefs;
    for (std::size_t at = html.find("href=\""); at != std::string::npos; at = html.find("href=\"", at + 1)) {
        const std::size_t from = at + 6;
        std::string href = html.substr(from, html.find('"', from) - from);
        hrefs.push_back(href.substr(0, href.find('#')));
    }
    return hrefs;
}

// A relative link followed from the URL path \a page, as a browser does:
// ".." above the root stays at the root.
std::string followUrl(const std::string &page, const std::string &href)
{
    std::vector<std::string> parts;
    std::string path = page.substr(0, page.rfind('/') + 1) + href;
    std::size_t from = 1;
    while (from <= path.size()) {
        const std::size_t to = std::min(path.find('/', from), path.size());
        const std::string part = path.substr(from, to - from);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (part != "." && !(part.empty() && to < path.size())) {
            parts.push_back(part);
        }
        from = to + 1;
    }
    std::string url;
    for (const std::string &part : parts)
        url += "/" + part;
    return url;
}

class PageLinks : public TempFolder {};

TEST_F(PageLinks, EveryLinkLeadsToAFileInTheFolderAndOnTheBoard)
{
    ArchivePaths paths{dir};
    fs::create_directories(paths.races());
    const std::vector<std::pair<std::string, std::string>> races = {
        {"2026-12-07_19-00-00", "2026-12-07 19:00:00"},
        {"2026-12-08_01-00-00", "2026-12-08 01:00:00"},
        {"2026-12-14_19-00-00", "2026-12-14 19:00:00"},
    };
    for (const auto &[folder, startedAt] : races) {
        const fs::path raceFolder = writeRaceFolder(
            paths.races(), folder, makeJournal(startedAt, {{"Adam", {5000, 4900}}, {"Bára", {4800, 5100}}}));
        std::string error;
        ASSERT_TRUE(writeRaceFolderReports(raceFolder, &error)) << error;
        ASSERT_TRUE(writePagesAfterRace(paths, folder, &error)) << error;
    }

    // Where the board serves each written page.
    const std::vector<std::pair<std::string, std::vector<std::string>>> served = {
        {"night-2026-12-14.html", {"/nights/", "/nights", "/pages/night-2026-12-14.html"}},
        {"night-2026-12-07.html", {"/pages/night-2026-12-07.html"}},
        {"season-2026.html", {"/season/", "/season"}},
        {"records.html", {"/records/", "/records"}},
    };
    int links = 0;
    for (const auto &[name, urls] : served) {
        const std::string html = readBytes(paths.pages() / name);
        ASSERT_FALSE(html.empty()) << name;
        for (const std::string &href : hrefsOf(html)) {
            SCOPED_TRACE(name + " -> " + href);
            ++links;
            const fs::path file = (paths.pages() / href).lexically_normal();
            EXPECT_TRUE(fs::is_regular_file(file)) << file;
            for (const std::string &url : urls) {
                const std::string target = followUrl(url, href);
                const Route route = routeFor(target);
                SCOPED_TRACE(url + " -> " + target);
                if (route.resource == Resource::ArchiveReport)
                    EXPECT_EQ(paths.races() / route.raceFolder / kReportFileName, file);
                else if (route.resource == Resource::NamedNight)
                    EXPECT_EQ(paths.pages() / route.pageName, file);
                else
                    ADD_FAILURE() << "no page of the board";
            }
        }
    }
    // Season -> two nights, nights -> their races and bests, records -> each driver's best.
    EXPECT_GE(links, 2 + 4 + 2);
}

// A season named with a slash, as seasons often are, is written into the
// pages folder all the same, never into a folder of its own or above it.
TEST(PageNames, ASeasonsPageStaysInThePagesFolder)
{
    EXPECT_EQ(seasonPageName("Zimní pohár 2026/27"), "season-Zimní pohár 2026-27.html");
    for (const char *name : {"../../etc/x", "a\\b", "/"}) {
        const fs::path file = fs::path("pages") / seasonPageName(name);
        EXPECT_EQ(file.parent_path(), "pages") << name;
        EXPECT_EQ(file.lexically_normal().parent_path(), "pages") << name;
    }
}

} // namespace
