// The archive's index and pages: a night of three races whose points match a
// count made here from the races alone, the index rebuilt to the same pages
// when deleted, overwritten or of an older schema, kept up to date with new,
// removed and left-out races, and a damaged journal skipped and named.
#include "record/archivepages.h"
#include "record/raceindex.h"
#include "record/sqlitedb.h"
#include "support/journaltestsupport.h"
#include "support/racejournalmaker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class RaceIndexPages : public TempFolder {
protected:
    void SetUp() override
    {
        TempFolder::SetUp();
        paths.dataDir = dir;
        fs::create_directories(paths.races());
    }

    void addRace(const std::string &folder, const std::string &startedAt, const std::vector<MadeRacer> &racers,
                 const std::string &how = "finished")
    {
        writeRaceFolder(paths.races(), folder, makeJournal(startedAt, racers, how));
        made[folder] = racers;
    }

    LoadedArchive load()
    {
        std::string error;
        std::optional<LoadedArchive> archive = loadArchive(paths, &error);
        EXPECT_TRUE(archive) << error;
        return archive ? std::move(*archive) : LoadedArchive{};
    }

    std::string allPages(const LoadedArchive &archive)
    {
        return nightPage(archive.races, archive.book, "2026-12-07", "../races/").html
               + seasonPage(archive.races, archive.book, SeasonRules::calendarYear(2026)).html
               + recordsPage(archive.races, archive.book, "../races/").html;
    }

    ArchivePaths paths;
    std::map<std::string, std::vector<MadeRacer>> made;
};

// Points the plain way: more laps first, then the earlier finish; 10-8-6-5-4-3-2-1.
std::map<std::string, int> pointsByHand(const std::vector<std::vector<MadeRacer>> &races)
{
    const int table[] = {10, 8, 6, 5, 4, 3, 2, 1};
    std::map<std::string, int> points;
    for (const std::vector<MadeRacer> &racers : races) {
        std::vector<std::pair<std::pair<std::size_t, long>, std::string>> order;
        for (const MadeRacer &racer : racers) {
            long total = 0;
            for (int ms : racer.lapMs)
                total += ms;
            if (racer.disqualifiedAtEnd) {
                points[racer.name] += 0;
                continue;
            }
            order.push_back({{racer.lapMs.size(), total}, racer.name});
        }
        std::sort(order.begin(), order.end(), [](const auto &a, const auto &b) {
            return a.first.first != b.first.first ? a.first.first > b.first.first : a.first.second < b.first.second;
        });
        for (std::size_t i = 0; i < order.size(); ++i)
            points[order[i].second] += i < 8 ? table[i] : 0;
    }
    return points;
}

std::map<std::string, int> pointsFromCsv(const std::string &csv)
{
    std::map<std::string, int> points;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line); // header
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::stringstream row(line);
        for (std::string field; std::getline(row, field, ',');)
            fields.push_back(field);
        if (fields.size() >= 3)
            points[fields[1]] = std::stoi(fields[2]);
    }
    return points;
}

TEST_F(RaceIndexPages, ANightOfThreeRacesScoresAsCountedByHand)
{
    addRace("2026-12-07_19-00-00", "2026-12-07 19:00:00",
            {{"Adam", {5000, 5100, 5000}}, {"Bára", {4900, 5000, 5050}}, {"Cyril", {5500, 5500, 5500}},
             {"Dana", {6000, 6000}}});
    addRace("2026-12-07_20-00-00", "2026-12-07 20:00:00",
            {{"Cyril", {4800, 4800, 4800}}, {"adam", {5000, 5000, 5000}}, {"Bára", {4000, 4000, 4000}, true},
             {"Dana", {5200, 5200, 5300}}});
    addRace("2026-12-08_00-30-00", "2026-12-08 00:30:00",
            {{"Dana", {4700, 4700, 4700}}, {"Bára", {4800, 4800, 4800}}, {"ADAM ", {6000, 6000}}});
    addRace("2026-12-08_19-00-00", "2026-12-08 19:00:00", {{"Adam", {3000}}}); // the next night

    const LoadedArchive archive = load();
    ASSERT_EQ(archive.races.size(), 4u);
    const ArchivePage night = nightPage(archive.races, archive.book, "2026-12-07", "../races/");
    std::map<std::string, int> expected = pointsByHand(
        {made["2026-12-07_19-00-00"], made["2026-12-07_20-00-00"], made["2026-12-08_00-30-00"]});
    // Name variants are one driver, shown as first written.
    expected["Adam"] += expected["adam"] + expected["ADAM "];
    expected.erase("adam");
    expected.erase("ADAM ");
    EXPECT_EQ(pointsFromCsv(night.csv.substr(3)), expected);
    EXPECT_NE(night.html.find("2026-12-08_00-30-00/report.html"), std::string::npos);
    EXPECT_EQ(night.html.find("2026-12-08_19-00-00"), std::string::npos);
    EXPECT_EQ(night.html.find("<script"), std::string::npos);
    EXPECT_EQ(night.html.find("http"), std::string::npos);
}

TEST_F(RaceIndexPages, DeletedGarbledOrOldIndexIsRebuiltToTheSamePages)
{
    addRace("2026-12-07_19-00-00", "2026-12-07 19:00:00", {{"Adam", {5000, 5000}}, {"Bára", {4900, 5200}}});
    addRace("2026-12-07_20-00-00", "2026-12-07 20:00:00", {{"Bára", {4800, 4800}}, {"Adam", {5000, 5000}}});
    writeRaceFolder(paths.races(), "2026-12-07_21-00-00", "not a journal\n");
    const LoadedArchive first = load();
    EXPECT_TRUE(first.index.rebuilt);
    EXPECT_EQ(first.index.rebuiltBecause, "rejstřík chybí");
    ASSERT_EQ(first.problems.size(), 1u);
    EXPECT_EQ(first.problems[0].rfind("Záznam závodu 2026-12-07_21-00-00: ", 0), 0u) << first.problems[0];
    const std::string pages = allPages(first);

    const LoadedArchive again = load();
    EXPECT_FALSE(again.index.rebuilt);
    EXPECT_EQ(again.index.indexed, 0);
    EXPECT_EQ(allPages(again), pages);

    fs::remove(paths.index());
    EXPECT_EQ(allPages(load()), pages);

    std::mt19937 random(25);
    std::string garbage(64 * 1024, '\0');
    for (char &c : garbage)
        c = static_cast<char>(random());
    for (const char *suffix : {"-wal", "-shm"})
        fs::remove(paths.index().string() + suffix);
    writeBytes(paths.index(), garbage);
    const LoadedArchive garbled = load();
    EXPECT_TRUE(garbled.index.rebuilt);
    EXPECT_EQ(garbled.index.rebuiltBecause.rfind("rejstřík je poškozený", 0), 0u) << garbled.index.rebuiltBecause;
    EXPECT_EQ(allPages(garbled), pages);

    {
        SqliteDb db;
        ASSERT_TRUE(db.open(paths.index()));
        ASSERT_TRUE(db.exec("PRAGMA user_version=0"));
    }
    const LoadedArchive old = load();
    EXPECT_EQ(old.index.rebuiltBecause, "rejstřík má jinou verzi (0)");
    EXPECT_EQ(allPages(old), pages);
}

TEST_F(RaceIndexPages, FollowsNewRemovedChangedAndLeftOutRaces)
{
    addRace("2026-12-07_19-00-00", "2026-12-07 19:00:00", {{"Adam", {5000, 5000}}, {"Bára", {5100, 5100}}});
    addRace("2026-12-07_20-00-00", "2026-12-07 20:00:00", {{"Bára", {4800, 4800}}, {"Adam", {5000, 5000}}});
    load();

    addRace("2026-12-07_21-00-00", "2026-12-07 21:00:00", {{"Bára", {4800}}, {"Adam", {5000}}});
    fs::remove_all(paths.races() / "2026-12-07_19-00-00");
    LoadedArchive archive = load();
    EXPECT_EQ(archive.index.indexed, 1);
    EXPECT_EQ(archive.index.removed, 1);
    ASSERT_EQ(archive.races.size(), 2u);
    EXPECT_EQ(pointsFromCsv(nightPage(archive.races, archive.book, "2026-12-07", "").csv.substr(3))["Bára"], 20);

    std::string error;
    ASSERT_TRUE(setRaceExcluded(paths.races() / "2026-12-07_21-00-00", true, &error)) << error;
    archive = load();
    EXPECT_EQ(archive.index.indexed, 0);
    const ArchivePage night = nightPage(archive.races, archive.book, "2026-12-07", "");
    EXPECT_EQ(pointsFromCsv(night.csv.substr(3))["Bára"], 10);
    EXPECT_NE(night.html.find("nezapočítán"), std::string::npos);
    ASSERT_TRUE(setRaceExcluded(paths.races() / "2026-12-07_21-00-00", false, &error));
    EXPECT_EQ(pointsFromCsv(nightPage(load().races, archive.book, "2026-12-07", "").csv.substr(3))["Bára"], 20);

    // A journal that grew (a race recovered later) is read again.
    writeRaceFolder(paths.races(), "2026-12-07_20-00-00",
                    makeJournal("2026-12-07 20:00:00", {{"Adam", {4000, 4000}}, {"Bára", {4800, 4800}}}));
    archive = load();
    EXPECT_EQ(archive.index.indexed, 1);
    EXPECT_EQ(pointsFromCsv(nightPage(archive.races, archive.book, "2026-12-07", "").csv.substr(3))["Adam"], 18);

    EXPECT_FALSE(setRaceExcluded(paths.races() / "no-such-race", true, &error));
    EXPECT_EQ(error, "Ve složce " + (paths.races() / "no-such-race").string() + " není záznam závodu.");
}

TEST_F(RaceIndexPages, SeasonAndRecordsPagesSayWhatDecidedAndWhereARecordWasSet)
{
    addRace("2026-03-01_19-00-00", "2026-03-01 19:00:00", {{"Adam", {5000, 5000}}, {"Bára", {5100, 4950}}});
    addRace("2026-03-08_19-00-00", "2026-03-08 19:00:00", {{"Bára", {5000, 5000}}, {"Adam", {5100, 5100}}});
    addRace("2026-03-15_19-00-00", "2026-03-15 19:00:00", {{"Adam", {5000, 5000}}});
    const LoadedArchive archive = load();
    SeasonRules rules = SeasonRules::calendarYear(2026);
    rules.bestNights = 2;
    const ArchivePage season = seasonPage(archive.races, archive.book, rules);
    // Adam 10, 8, 10 (the 8 struck through); Bára 8, 10.
    EXPECT_NE(season.html.find("<td class=\"dropped\"><s>8</s></td>"), std::string::npos);
    EXPECT_NE(season.html.find("night-2026-03-08.html"), std::string::npos);
    EXPECT_NE(season.csv.find("Adam,10,8 (škrtnuto),10,20,2"), std::string::npos) << season.csv;
    EXPECT_NE(season.html.find("Počítá se 2 nejlepších večerů"), std::string::npos);

    // The index answers a personal best and the record as the pages compute them.
    RaceIndex index(paths.races(), paths.index());
    ASSERT_TRUE(index.open());
    DriverBook book;
    ASSERT_TRUE(book.loadText(R"({"drivers":[{"name":"Adam","aliases":["Adámek"]}]})"));
    const std::optional<LapRecord> adams = index.bestLap("20", "32", book.keysOf("adam"));
    ASSERT_TRUE(adams);
    EXPECT_EQ(adams->lapMs, 5000);
    EXPECT_EQ(adams->folder, "2026-03-01_19-00-00");
    EXPECT_EQ(adams->lap, 1);
    EXPECT_EQ(book.keysOf("ADÁMEK"), (std::vector<std::string>{"adam", "adámek"}));
    const std::optional<LapRecord> record = index.bestLap("20", "32");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->name, "Bára");
    EXPECT_EQ(record->lapMs, 4950);
    EXPECT_FALSE(index.bestLap("30", "32"));

    const ArchivePage records = recordsPage(archive.races, archive.book, "../races/");
    EXPECT_NE(records.html.find("../races/2026-03-01_19-00-00/report.html#kolo-2-2"), std::string::npos);
    EXPECT_NE(records.csv.find("\"20 m, 1:32\",Bára,4950,0:04:950,2026-03-01_19-00-00,2,2"), std::string::npos)
        << records.csv;
}

// The night page from the index (the night's races and its drivers' earlier
// bests only) against the page computed from every race, over nights of two
// tracks with spellings merged in drivers.json, and again after a race is
// removed, one left out and the aliases changed.
TEST_F(RaceIndexPages, NightPageFromTheIndexIsTheOneFromEveryRace)
{
    const std::vector<std::string> names = {"Adam", "adam", "Adámek", "Bára", "Bara", "Cyril", "Dana", ""};
    std::mt19937 random(7);
    std::vector<std::string> nights;
    for (int day = 1; day <= 4; ++day) {
        char night[16];
        std::snprintf(night, sizeof night, "2026-05-%02d", day);
        nights.push_back(night);
        for (int race = 0; race < 5; ++race) {
            // The last race of a night runs after midnight.
            char startedAt[32];
            std::snprintf(startedAt, sizeof startedAt, "2026-05-%02d %02d:%02d:00", race == 4 ? day + 1 : day,
                          race == 4 ? 1 : 19 + race, static_cast<int>(random() % 60));
            std::vector<MadeRacer> racers;
            for (int seat = 0; seat < 4; ++seat)
                racers.push_back({names[random() % names.size()],
                                  {4000 + static_cast<std::int32_t>(random() % 800),
                                   4000 + static_cast<std::int32_t>(random() % 800)}});
            std::string folder = startedAt;
            folder[10] = '_';
            std::replace(folder.begin() + 11, folder.end(), ':', '-');
            writeRaceFolder(paths.races(), folder,
                            makeJournal(startedAt, racers, "finished", race % 2 ? "30" : "20"));
        }
    }
    const auto compareNights = [&](const char *when) {
        SCOPED_TRACE(when);
        std::string error;
        std::optional<LoadedArchive> archive = loadArchive(paths, &error, {}, false);
        ASSERT_TRUE(archive) << error;
        const std::vector<RaceSummary> races = archive->raceIndex->races();
        for (const std::string &night : nights) {
            const ArchivePage fromIndex = nightPage(*archive->raceIndex, archive->book, night, "../races/");
            const ArchivePage fromAll = nightPage(races, archive->book, night, "../races/");
            EXPECT_EQ(fromIndex.html, fromAll.html) << night;
            EXPECT_EQ(fromIndex.csv, fromAll.csv) << night;
        }
    };
    writeBytes(paths.drivers(), R"({"drivers":[{"name":"Adam","aliases":["Adámek"]},{"name":"Bára","aliases":["Bara"]}]})");
    compareNights("aliases merged");
    // Bests beaten on later nights are on the pages, so the comparison compares them.
    std::string error;
    std::optional<LoadedArchive> archive = loadArchive(paths, &error, {}, false);
    ASSERT_TRUE(archive);
    EXPECT_NE(nightPage(*archive->raceIndex, archive->book, nights[2], "").html.find(", dosud "), std::string::npos);
    archive.reset();

    std::vector<fs::path> folders;
    for (const fs::directory_entry &entry : fs::directory_iterator(paths.races()))
        folders.push_back(entry.path());
    std::sort(folders.begin(), folders.end());
    fs::remove_all(folders[1]);
    ASSERT_TRUE(setRaceExcluded(folders[6], true));
    compareNights("a race removed, one left out");
    // Dana's laps now count as Cyril's, Bara is herself again and Adam's own
    // spelling belongs to another driver.
    writeBytes(paths.drivers(), R"({"drivers":[{"name":"Cyril","aliases":["Dana"]},{"name":"Adámek"},)"
                                R"({"name":"Eva","aliases":["Adam"]}]})");
    compareNights("aliases changed");
}

// Another program writing the index (a page made from a terminal while the
// program's worker refreshes it) is waited for and then given up, never
// taken for a damaged index: the file stays, with its races.
TEST_F(RaceIndexPages, BusyIndexIsWaitedForAndNeverRebuilt)
{
    addRace("2026-12-07_19-00-00", "2026-12-07 19:00:00", {{"Adam", {5000, 5000}}});
    load();
    const auto inode = [&] {
        struct stat status {};
        return ::stat(paths.index().c_str(), &status) == 0 ? status.st_ino : 0;
    };
    const auto before = inode();
    SqliteDb writer;
    ASSERT_TRUE(writer.open(paths.index()));
    ASSERT_TRUE(writer.exec("BEGIN IMMEDIATE"));
    // With nothing to bring up to date the index is read while the other writes.
    EXPECT_EQ(load().races.size(), 1u);
    addRace("2026-12-07_20-00-00", "2026-12-07 20:00:00", {{"Adam", {5000, 5000}}});

    std::string error;
    bool busy = false;
    EXPECT_FALSE(loadArchive(paths, &error, {}, true, &busy));
    EXPECT_TRUE(busy);
    EXPECT_EQ(error, kRaceIndexBusy);
    EXPECT_EQ(inode(), before);
    EXPECT_EQ(writer.scalar("SELECT count(*) FROM races").value_or(-1), 1);

    ASSERT_TRUE(writer.exec("COMMIT"));
    const LoadedArchive archive = load();
    EXPECT_FALSE(archive.index.rebuilt);
    EXPECT_EQ(archive.races.size(), 2u);
    EXPECT_EQ(inode(), before);
}

// A rebuild puts its new file in place only when no one has the index open,
// and two rebuilds at once each write a file of their own: the index that
// stays is whole.
TEST_F(RaceIndexPages, RebuildsNeverReplaceAnOpenIndexNorEachOther)
{
    for (int race = 0; race < 12; ++race)
        addRace("2026-12-07_19-" + std::to_string(10 + race) + "-00",
                "2026-12-07 19:" + std::to_string(10 + race) + ":00",
                {{"Adam", {5000 + race, 5000}}, {"Bára", {4900 - race, 5200}}});
    const std::string pages = allPages(load());
    const auto leftovers = [&] {
        int count = 0;
        for (const fs::directory_entry &entry : fs::directory_iterator(paths.dataDir))
            count += entry.path().filename().string().find(".new-") != std::string::npos;
        return count;
    };
    {
        RaceIndex reader(paths.races(), paths.index());
        ASSERT_TRUE(reader.open());
        RaceIndex rebuilder(paths.races(), paths.index());
        std::string error;
        EXPECT_FALSE(rebuilder.rebuild(nullptr, &error));
        EXPECT_TRUE(rebuilder.busy());
        EXPECT_EQ(error, kRaceIndexBusy);
        // The reader's index is the one it opened, whole.
        EXPECT_EQ(reader.races().size(), 12u);
    }
    EXPECT_EQ(leftovers(), 0);

    std::vector<std::thread> rebuilds;
    std::vector<int> outcome(2, -1);
    for (int i = 0; i < 2; ++i)
        rebuilds.emplace_back([&, i] {
            RaceIndex index(paths.races(), paths.index());
            outcome[static_cast<std::size_t>(i)] = index.rebuild() ? 1 : index.busy() ? 0 : 2;
        });
    for (std::thread &thread : rebuilds)
        thread.join();
    EXPECT_NE(outcome[0], 2);
    EXPECT_NE(outcome[1], 2);
    EXPECT_TRUE(outcome[0] == 1 || outcome[1] == 1);
    EXPECT_EQ(leftovers(), 0);
    const LoadedArchive after = load();
    EXPECT_FALSE(after.index.rebuilt);
    EXPECT_EQ(allPages(after), pages);
}

} // namespace
