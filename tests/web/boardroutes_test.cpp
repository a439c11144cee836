// The board server's routes: the few paths it answers, and a table of
// traversal attempts and near misses that must all name no resource.
#include "web/boardroutes.h"

#include <gtest/gtest.h>

TEST(BoardRoutes, EachResourceHasOneExactPath)
{
    EXPECT_EQ(routeFor("/").resource, Resource::BoardPage);
    EXPECT_EQ(routeFor("/board.js").resource, Resource::BoardScript);
    EXPECT_EQ(routeFor("/board.css").resource, Resource::BoardStyle);
    EXPECT_EQ(routeFor("/api/race").resource, Resource::RaceState);
    EXPECT_EQ(routeFor("/api/live").resource, Resource::LiveUpdates);
    EXPECT_EQ(routeFor("/races").resource, Resource::ArchiveIndex);
    EXPECT_EQ(routeFor("/races/").resource, Resource::ArchiveIndex);
    const Route report = routeFor("/races/2026-12-07_19-30-05/report.html");
    EXPECT_EQ(report.resource, Resource::ArchiveReport);
    EXPECT_EQ(report.raceFolder, "2026-12-07_19-30-05");
    EXPECT_EQ(routeFor("/races/2026-12-07_19-30-05_2/report.html").raceFolder, "2026-12-07_19-30-05_2");
    EXPECT_EQ(routeFor("/nights/").resource, Resource::NightPage);
    EXPECT_EQ(routeFor("/season").resource, Resource::SeasonPage);
    EXPECT_EQ(routeFor("/records/").resource, Resource::RecordsPage);
    EXPECT_EQ(routeFor("/nights/../races/").resource, Resource::NotFound);
    EXPECT_EQ(routeFor("/records/records.html").resource, Resource::NotFound);
    const Route night = routeFor("/pages/night-2026-12-07.html");
    EXPECT_EQ(night.resource, Resource::NamedNight);
    EXPECT_EQ(night.pageName, "night-2026-12-07.html");
}

TEST(BoardRoutes, TraversalAndNearMissesNameNothing)
{
    const char *const refused[] = {
        "",
        "//",
        "/index.html",
        "/api/race/",
        "/API/race",
        "/api/race/../race",
        "/races/../../etc/passwd",
        "/races/2026-12-07_19-30-05/../../../etc/passwd",
        "/races/2026-12-07_19-30-05/journal.jsonl",
        "/races/2026-12-07_19-30-05/report.html/",
        "/races/2026-12-07_19-30-05//report.html",
        "/races/2026-12-07_19-30-05/./report.html",
        "/races/../2026-12-07_19-30-05/report.html",
        "/races/%2e%2e/report.html",
        "/races/%2E%2E%2F%2E%2E/report.html",
        "/races/2026-12-07_19-30-05%2freport.html",
        "/races/2026-12-07_19-30-05%2Freport.html",
        "/races/2026-12-07_19-30-05\\report.html",
        "/races/..\\..\\report.html",
        "/races/2026-12-07_19-30-05%00/report.html",
        "/races/2026-12-07_19-30-0/report.html",
        "/races/2026-12-07_19-30-05_/report.html",
        "/races/2026-12-07_19-30-05_1234/report.html",
        "/races/2026-12-07 19-30-05/report.html",
        "/races/２026-12-07_19-30-05/report.html",
        "/races//report.html",
        "/races/report.html",
        "/board.js?",
        "/pages/",
        "/pages/night-2026-12-07.csv",
        "/pages/night-2026-12-7.html",
        "/pages/night-2026-12-07.html/",
        "/pages/night-2026-12-0/.html",
        "/pages/night-../../x.html",
        "/pages/season-2026.html",
        "/pages/../races/2026-12-07_19-30-05/report.html",
        "/%2e/board.js",
    };
    for (const char *path : refused) {
        SCOPED_TRACE(path);
        EXPECT_EQ(routeFor(path).resource, Resource::NotFound);
    }
    // The NUL inside the path itself, not as the end of a C string.
    EXPECT_EQ(routeFor(std::string_view("/races/2026-12-07_19-30-0\0/report.html", 39)).resource, Resource::NotFound);
    EXPECT_EQ(routeFor(std::string_view("/\0", 2)).resource, Resource::NotFound);
}
