// The race report page: names the user typed stay text, and the page holds
// the race, the standings, both charts, every lap and the events.
#include "record/htmltext.h"
#include "record/lapcharts.h"
#include "record/racereport.h"
#include "record/svgchart.h"
#include "record/reportlog.h"

#include <gtest/gtest.h>

namespace {

std::size_t occurrences(const std::string &text, const std::string &what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

ReportLog threeLapRace()
{
    ReportLog race("3");
    race.racer(0, "Adam", 10'000).racer(1, "Bára", 10'000);
    race.lap(0, 15'000, 1).lap(1, 15'200, 2);
    race.event(EventKind::OffTrack, 1, 1).detail = "1";
    race.lap(0, 19'900, 1).lap(1, 20'000, 2);
    race.event(EventKind::FuelLow, 0, 2);
    race.lap(0, 24'950, 1).finish(0).lap(1, 24'700, 2).finish(1);
    return race;
}

} // namespace

TEST(HtmlText, MarkupQuotesAndBrokenBytesStayText)
{
    EXPECT_EQ(htmlEscaped("Jan \"Blesk\" <b>Novák</b> & 'spol'"),
              "Jan &quot;Blesk&quot; &lt;b&gt;Novák&lt;/b&gt; &amp; &#39;spol&#39;");
    EXPECT_EQ(htmlEscaped("Žluťoučký kůň 🏁"), "Žluťoučký kůň 🏁");
    // A lone continuation byte, a cut sequence, an overlong slash, a surrogate.
    EXPECT_EQ(htmlEscaped("a\x80z"), "a\uFFFDz");
    EXPECT_EQ(htmlEscaped("Nov\xC3"), "Nov\uFFFD");
    EXPECT_EQ(htmlEscaped("\xC0\xAF"), "\uFFFD\uFFFD");
    EXPECT_EQ(htmlEscaped("\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(htmlEscaped(std::string("nul\0bell\a", 9)), "nul\uFFFDbell\uFFFD");
}

TEST(RaceReport, AHostileNameIsShownAsTextEverywhere)
{
    ReportLog race = threeLapRace();
    race.log.racers[1].name = "</style><script>alert(1)</script>";
    race.log.trackLength = "20\"><img src=x>";
    const std::string html = raceReportHtml(race.log);

    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("<img"), std::string::npos);
    EXPECT_EQ(occurrences(html, "</style>"), 1u);
    // Standings, legend twice, lap table heading, two events.
    EXPECT_EQ(occurrences(html, "&lt;/style&gt;&lt;script&gt;alert(1)&lt;/script&gt;"), 6u);
}

TEST(RaceReport, AFinishedRaceShowsStandingsChartsEveryLapAndTheEvents)
{
    const std::string html = raceReportHtml(threeLapRace().log);

    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(html.find("name=\"viewport\""), std::string::npos);
    EXPECT_NE(html.find("@media print"), std::string::npos);
    for (const char *fetching : {"src=", "href", "url(", "@import"})
        EXPECT_EQ(html.find(fetching), std::string::npos) << fetching;
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_NE(html.find("Závod 7. 12. 2026 19:30:05"), std::string::npos);
    EXPECT_NE(html.find("20 m, měřítko 1:32"), std::string::npos);
    EXPECT_NE(html.find("<dd class=\"race-end\">dokončen</dd>"), std::string::npos);
    EXPECT_EQ(html.find("banner"), html.find("banner{")) << "no interruption banner";

    EXPECT_EQ(occurrences(html, "<tr class=\"racer seat-"), 2u);
    EXPECT_NE(html.find("<tr class=\"racer seat-2\"><td class=\"position\">1</td>"), std::string::npos);
    EXPECT_NE(html.find("<td>0:14:950</td><td>+0:00:250</td><td>0:04:900</td>"), std::string::npos)
        << "Adam: total from his start crossing, gap, best lap";
    EXPECT_NE(html.find("<td>0:14:700</td><td></td>"), std::string::npos)
        << "Bára reached lap 3 later in the journal's order but earlier on the hardware clock, so she won";

    EXPECT_EQ(occurrences(html, "<svg class=\"chart lap-times\""), 1u);
    EXPECT_EQ(occurrences(html, "<svg class=\"chart positions\""), 1u);
    EXPECT_EQ(occurrences(html, "<polyline"), 4u) << "one line per racer in each chart";
    EXPECT_EQ(occurrences(html, "stroke=\"#d62728\""), 2u) << "seat 1 keeps its colour in both charts";

    EXPECT_EQ(lapRowsOf(html), 6u);
    EXPECT_EQ(occurrences(html, " class=\"best fastest\"><td>3</td><td>★ 0:04:700</td>"), 1u);
    EXPECT_EQ(occurrences(html, "-2\" class=\"best\"><td>2</td><td>0:04:900</td>"), 1u);

    EXPECT_NE(html.find("<td>1</td><td class=\"name\"><span class=\"swatch\" style=\"background:#1f77b4\"></span>"
                        "Bára</td><td class=\"event\">vyjetí z dráhy (1. v řadě)</td>"),
              std::string::npos);
    EXPECT_NE(html.find("Adam</td><td class=\"event\">dochází palivo</td>"), std::string::npos);
    EXPECT_EQ(occurrences(html, "<td class=\"event\">cíl</td>"), 2u);
}

TEST(RaceReport, AnInterruptedRaceSaysSoAndShowsItsStandingsSoFar)
{
    ReportLog race("10");
    race.racer(0, "Adam", 1'000);
    race.lap(0, 6'000, 1).lap(0, 11'000, 1);
    race.log.end = RaceEnd::Interrupted;
    race.log.damagedLines = 1;
    const std::string html = raceReportHtml(race.log);

    EXPECT_NE(html.find("<dd class=\"race-end\">přerušen"), std::string::npos);
    EXPECT_NE(html.find("Závod byl přerušen. Zpráva ukazuje všechna zachovaná kola (2)."), std::string::npos);
    EXPECT_NE(html.find("(nečitelné řádky: 1)"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"outcome\">nedokončil</td>"), std::string::npos);
    EXPECT_NE(html.find("<h2>Pořadí</h2>"), std::string::npos);

    // Read while it has no end yet: it may still be running, so it is not called interrupted.
    race.log.end = RaceEnd::Open;
    const std::string open = raceReportHtml(race.log);
    EXPECT_NE(open.find("Záznam závodu nemá konec. Zpráva ukazuje všechna zachovaná kola (2)."), std::string::npos);
    EXPECT_EQ(open.find("Závod byl přerušen"), std::string::npos);
}

TEST(LapCharts, AxesGetRoundTicksAndAStopKeepsTheScaleOfTheDrivenLaps)
{
    EXPECT_EQ(roundTicks(4.6, 10.6, 6, false), (std::vector<double>{5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(roundTicks(1, 200, 10, true).front(), 20);
    EXPECT_EQ(roundTicks(1, 3, 6, true), (std::vector<double>{1, 2, 3})) << "positions: whole numbers";
    EXPECT_EQ(roundTicks(1, 1, 6, true), (std::vector<double>{1}));
    EXPECT_LE(roundTicks(1e18, 1e18 + 100, 6, true).size(), 1000u) << "a step lost in rounding ends";

    ReportLog race("9");
    race.racer(0, "Adam", 0);
    race.lap(0, 5'000, 1).lap(0, 10'000, 1).lap(0, 40'000, 1).lap(0, 45'000, 1);
    const LapTimeChart chart = lapTimeChart(computeStandings(race.log));
    EXPECT_EQ(chart.ceilingMs, 10'000);
    EXPECT_NE(raceReportHtml(race.log).find("Kola delší než 0:10:000 jsou zakreslena na horním okraji."),
              std::string::npos);
}
