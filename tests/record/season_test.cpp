// Drivers, nights, points and records over several races: name variants that
// are one driver and those only suggested, the 6:00 night boundary, points
// with disqualification, interrupted and left-out races, tie-breaks, best
// nights, aliases, and which laps may stand as a record.
#include "record/drivername.h"
#include "record/journalreader.h"
#include "record/season.h"
#include "support/racejournalmaker.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

RaceSummary race(const std::string &startedAt, const std::vector<MadeRacer> &racers, const std::string &how = "finished")
{
    return summariseRace(readJournal(makeJournal(startedAt, racers, how)), startedAt);
}

const DriverStanding *find(const StandingsTable &table, const std::string &name)
{
    for (const DriverStanding &driver : table.drivers)
        if (driver.name == name)
            return &driver;
    return nullptr;
}

TEST(DriverIdentity, CaseSpaceAndCompositionVariantsAreOneDriver)
{
    const std::string key = driverKey("Jan Novák");
    EXPECT_EQ(driverKey("  jan   NOVÁK\t"), key);
    EXPECT_EQ(driverKey("Jan Nova\xCC\x81k"), key); // a combining acute accent
    EXPECT_EQ(normaliseDriverName("  Jan \t Nova\xCC\x81k "), "Jan Novák");
    EXPECT_NE(driverKey("Jan Novak"), key);
    EXPECT_EQ(driverKeyWithoutDiacritics("Jan Novák"), driverKeyWithoutDiacritics("JAN NOVAK"));
    EXPECT_TRUE(driverKey(" \t ").empty());
}

TEST(DriverIdentity, SuggestsLikelyMergesButNotStrangers)
{
    const std::vector<MergeSuggestion> merges = suggestMerges(
        {"Jan Novák", "jan novak", "Petr Svoboda", "Petr Svobodaa", "Maximilián Kráľ", "Maximilián Kráľovský",
         "Jan", "Eva", "JAN NOVÁK"});
    const auto suggested = [&](const std::string &a, const std::string &b) {
        for (const MergeSuggestion &m : merges)
            if ((m.first == a && m.second == b) || (m.first == b && m.second == a))
                return m.reason;
        return std::string();
    };
    EXPECT_EQ(suggested("Jan Novák", "jan novak"), "liší se jen diakritikou");
    EXPECT_EQ(suggested("Petr Svoboda", "Petr Svobodaa"), "liší se v 1 znaku");
    EXPECT_EQ(suggested("Maximilián Kráľ", "Maximilián Kráľovský"), "kratší jméno je začátkem delšího (15 znaků)");
    EXPECT_EQ(suggested("Jan", "Eva"), "");
    // Case variants are one driver already, never a suggestion.
    EXPECT_EQ(merges.size(), 3u);
    EXPECT_EQ(driverNameDistance("kráľ", "kral"), 2);
}

TEST(Nights, RunFromSixInTheMorningToSixTheNextMorning)
{
    EXPECT_EQ(nightOf("2026-12-07 19:30:05"), "2026-12-07");
    EXPECT_EQ(nightOf("2026-12-08 05:59:59"), "2026-12-07");
    EXPECT_EQ(nightOf("2026-12-08 06:00:00"), "2026-12-08");
    EXPECT_EQ(nightOf("2027-01-01 02:00:00"), "2026-12-31");
    EXPECT_EQ(nightOf("2024-03-01 00:10:00"), "2024-02-29");
    EXPECT_EQ(nightOf("2026-02-30 20:00:00"), "");
    EXPECT_EQ(nightOf("včera večer"), "");
}

TEST(Points, ANightScoresFinishedRacesOnly)
{
    const SeasonRules rules = SeasonRules::calendarYear(2026);
    DriverBook book;
    std::vector<RaceSummary> races = {
        // Adam wins, Bára second, Cyril is disqualified after the fastest race pace.
        race("2026-12-07 19:00:00", {{"Adam", {5000, 5000, 5000}}, {"Bára", {5100, 5100, 5100}},
                                     {"Cyril", {4000, 4000, 4000}, true}}),
        // Bára wins after midnight: the same night.
        race("2026-12-08 01:00:00", {{"Adam", {5200, 5200}}, {"bára ", {5050, 5050}}, {"Cyril", {5300, 5300}}}),
        // Interrupted: listed, no points.
        race("2026-12-07 20:00:00", {{"Cyril", {3000}}, {"Adam", {6000}}}, "interrupted"),
        // Left out by the director.
        race("2026-12-07 21:00:00", {{"Cyril", {3000, 3000}}, {"Adam", {6000, 6000}}}),
    };
    races[3].excluded = true;
    const StandingsTable table = computeTable(races, rules, book);
    ASSERT_EQ(table.nights, std::vector<std::string>{"2026-12-07"});
    ASSERT_EQ(table.drivers.size(), 3u);
    // Adam and Bára both 18: one win each, Adam has the faster best lap.
    EXPECT_EQ(table.drivers[0].name, "Adam");
    EXPECT_EQ(table.drivers[0].total, 18);
    EXPECT_EQ(table.drivers[1].name, "Bára");
    EXPECT_EQ(table.drivers[1].total, 18);
    EXPECT_EQ(table.drivers[1].rank, 2);
    EXPECT_EQ(table.drivers[1].tieBreak, "pomalejší nejrychlejší kolo");
    EXPECT_EQ(table.drivers[2].name, "Cyril");
    EXPECT_EQ(table.drivers[2].total, 6);
    ASSERT_TRUE(table.drivers[2].nights[0].has_value());
    EXPECT_FALSE(raceScores(races[2]));
    EXPECT_FALSE(raceScores(races[3]));
}

TEST(Points, FastestLapBonusWinsAndBestNightsDecideTheSeason)
{
    SeasonRules rules = SeasonRules::calendarYear(2026);
    rules.points = {3, 2, 1};
    rules.fastestLapBonus = 1;
    rules.bestNights = 1;
    const std::vector<RaceSummary> races = {
        race("2026-03-01 19:00:00", {{"Adam", {5000, 5000}}, {"Bára", {5100, 4950}}}),
        race("2026-03-08 19:00:00", {{"Adam", {5000, 5000}}, {"Bára", {5100, 5100}}}),
        race("2026-03-15 19:00:00", {{"Bára", {5000, 5000}}, {"Adam", {5100, 5100}}, {"Cyril", {6000, 6000}}}),
        race("2025-12-31 19:00:00", {{"Cyril", {5000}}}), // before the season
    };
    const StandingsTable table = computeTable(races, rules, DriverBook{});
    ASSERT_EQ(table.nights.size(), 3u);
    const DriverStanding *adam = find(table, "Adam");
    const DriverStanding *bara = find(table, "Bára");
    ASSERT_TRUE(adam && bara);
    // Adam: 3, 4 (win + fastest), 2; Bára: 3 (second + fastest), 2, 4. Best one night each: 4 and 4.
    EXPECT_EQ(adam->nights, (std::vector<std::optional<int>>{3, 4, 2}));
    EXPECT_EQ(bara->nights, (std::vector<std::optional<int>>{3, 2, 4}));
    EXPECT_EQ(adam->dropped, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(adam->total, 4);
    EXPECT_EQ(bara->total, 4);
    // Two wins beat one.
    EXPECT_EQ(table.drivers[0].name, "Adam");
    EXPECT_EQ(table.drivers[1].tieBreak, "méně vítězství");
    const DriverStanding *cyril = find(table, "Cyril");
    ASSERT_TRUE(cyril);
    EXPECT_EQ(cyril->nights, (std::vector<std::optional<int>>{std::nullopt, std::nullopt, 1}));
}

TEST(Points, TwoSeatsWithOneNameStayApartAndAnEmptyNameIsNobody)
{
    const RaceSummary shared = race("2026-05-01 19:00:00", {{"Adam", {5000}}, {"", {5000}}, {" adam", {5100}}});
    const std::vector<ScoredResult> scored = scoreRace(shared, SeasonRules::calendarYear(2026), DriverBook{});
    ASSERT_EQ(scored.size(), 2u);
    EXPECT_EQ(scored[0].name, "Adam (dráha 1)");
    EXPECT_EQ(scored[0].points, 10);
    EXPECT_EQ(scored[1].name, "adam (dráha 3)");
    EXPECT_EQ(scored[1].points, 8);
    EXPECT_TRUE(scored[0].sharedName && scored[1].sharedName);
    EXPECT_NE(scored[0].key, scored[1].key);
}

TEST(DriverBookFile, AliasesMergeDriversAndTheSeasonFollows)
{
    const std::vector<RaceSummary> races = {
        race("2026-04-01 19:00:00", {{"Jan Novák", {5000}}, {"Eva", {5100}}}),
        race("2026-04-08 19:00:00", {{"Eva", {5000}}, {"Jan Novak", {5100}}}),
    };
    const SeasonRules rules = SeasonRules::calendarYear(2026);
    EXPECT_EQ(computeTable(races, rules, DriverBook{}).drivers.size(), 3u);

    DriverBook book;
    ASSERT_TRUE(book.loadText(R"({"drivers":[{"name":"Jan  Novák","aliases":["JAN NOVAK"]}]})"));
    const StandingsTable merged = computeTable(races, rules, book);
    ASSERT_EQ(merged.drivers.size(), 2u);
    const DriverStanding *jan = find(merged, "Jan Novák");
    ASSERT_TRUE(jan);
    EXPECT_EQ(jan->total, 18);

    std::string error;
    EXPECT_FALSE(book.loadText("[1,2]", &error));
    EXPECT_EQ(error, "Soubor jezdců není seznam ve tvaru {\"drivers\": [...]}.");
    EXPECT_FALSE(book.loadText(R"({"drivers":[{"aliases":[]}]})", &error));
    EXPECT_EQ(book.identify("Jan Novak").name, "Jan Novak"); // a refused file leaves the book empty
    EXPECT_TRUE(book.load("/nonexistent/drivers.json", &error));
}

// The spellings asked of the index for a driver are exactly those that
// identify as that driver, even where one driver's own name is another's alias.
TEST(DriverBookFile, KeysOfADriverAreTheSpellingsThatIdentifyAsIt)
{
    DriverBook book;
    ASSERT_TRUE(book.loadText(R"({"drivers":[{"name":"Adam","aliases":["Adámek"]},{"name":"Eva","aliases":["adam"]}]})"));
    EXPECT_EQ(book.identify("Adámek").key, "adam");
    EXPECT_EQ(book.identify("ADAM").name, "Eva");
    EXPECT_EQ(book.keysOf("Adámek"), (std::vector<std::string>{"adámek"}));
    EXPECT_EQ(book.keysOf("eva"), (std::vector<std::string>{"eva", "adam"}));
    EXPECT_EQ(book.keysOf("Cyril"), (std::vector<std::string>{"cyril"}));
    EXPECT_TRUE(book.keysOf(" ").empty());
}

TEST(SeasonFile, ReadsRulesAndRefusesBadOnes)
{
    std::string error;
    const std::optional<SeasonRules> rules = parseSeasonRules(
        R"({"from":"2026-09-01","to":"2027-06-30","points":[25,18,15],"fastestLapBonus":1,"bestNights":6})", "zima",
        &error);
    ASSERT_TRUE(rules) << error;
    EXPECT_EQ(rules->name, "zima");
    EXPECT_EQ(rules->points, (std::vector<int>{25, 18, 15}));
    EXPECT_EQ(rules->bestNights, 6);
    EXPECT_TRUE(rules->contains("2027-01-15"));
    EXPECT_FALSE(rules->contains("2027-07-01"));

    EXPECT_FALSE(parseSeasonRules(R"({"from":"2026-13-01","to":"2027-06-30"})", "x", &error));
    EXPECT_EQ(error, "Sezóna potřebuje data \"from\" a \"to\" ve tvaru RRRR-MM-DD.");
    EXPECT_FALSE(parseSeasonRules(R"({"from":"2027-01-01","to":"2026-06-30"})", "x", &error));
    EXPECT_FALSE(parseSeasonRules(R"({"from":"2026-01-01","to":"2026-06-30","points":[10,-1]})", "x", &error));
    EXPECT_EQ(error, "Body (\"points\") musí být celá čísla od 0 do 1000000.");
    EXPECT_FALSE(parseSeasonRules(R"({"from":"2026-01-01","to":"2026-06-30","bestNights":"3"})", "x", &error));
    EXPECT_FALSE(parseSeasonRules("{", "x", &error));
}

TEST(Records, LapsAfterReadmissionOrOffTrackDoNotStand)
{
    const std::optional<RaceLog> log =
        readJournalFile(std::filesystem::path(TRAMELO_TEST_DATA_DIR) / "journal" / "example.jsonl");
    ASSERT_TRUE(log);
    const RaceSummary summary = summariseRace(*log, "2026-12-07_19-30-05");
    std::map<std::string, std::pair<std::int32_t, std::int64_t>> best;
    for (const RaceResult &result : summary.results)
        if (result.bestLapMs)
            best[result.name] = {*result.bestLapMs, result.bestLapNumber};
    // Adam's off-track lap 2 ties his others: lap 1 keeps it. Cyril's lap 2
    // after readmission (5.5 s) is out, his 4.5 s lap 3 stands.
    EXPECT_EQ(best["Adam"], (std::pair<std::int32_t, std::int64_t>{5000, 1}));
    EXPECT_EQ(best["Bára"], (std::pair<std::int32_t, std::int64_t>{5400, 1}));
    EXPECT_EQ(best["Cyril"], (std::pair<std::int32_t, std::int64_t>{4500, 3}));
    const std::vector<bool> stands = lapsThatMayStand(*log);
    EXPECT_EQ(std::count(stands.begin(), stands.end(), false), 2);
}

TEST(Records, TrackRecordsAndNewBestsOfANight)
{
    std::vector<RaceSummary> races = {
        race("2026-06-01 19:00:00", {{"Adam", {5000, 4800}}, {"Bára", {4900, 5000}}}),
        race("2026-06-08 19:00:00", {{"adam", {4700, 5000}}, {"Bára", {5000, 4950}}}),
    };
    races.push_back(summariseRace(readJournal(makeJournal("2026-06-08 20:00:00", {{"Adam", {4000}}}, "finished", "30")),
                                  "other-track"));
    const std::vector<TrackRecords> records = computeRecords(races, DriverBook{});
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].track, "20 m, 1:32");
    ASSERT_EQ(records[0].bests.size(), 2u);
    EXPECT_EQ(records[0].bests[0].name, "adam");
    EXPECT_EQ(records[0].bests[0].lapMs, 4700);
    EXPECT_EQ(records[0].bests[0].lap, 1);
    EXPECT_EQ(records[0].bests[0].folder, "2026-06-08 19:00:00");
    EXPECT_EQ(records[0].bests[1].lapMs, 4900);
    EXPECT_EQ(records[1].track, "30 m, 1:32");

    const std::vector<NewBest> news = newBestsOfNight(races, DriverBook{}, "2026-06-08");
    // Adam's 4.7 s beats his 4.8 s and Bára's 4.9 s record; Bára's 4.95 s is no best;
    // the new track's first lap is both.
    ASSERT_EQ(news.size(), 2u);
    EXPECT_TRUE(news[0].trackRecord);
    EXPECT_EQ(news[0].previousMs, 4800);
    EXPECT_EQ(news[1].track, "30 m, 1:32");
}

} // namespace
