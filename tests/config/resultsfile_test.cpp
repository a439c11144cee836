#include "engine/resultsfile.h"

#include "config/settingstestsupport.h"
#include "platform/codec.h"

#include <gtest/gtest.h>

namespace {

Race raceOf(std::initializer_list<std::string> names)
{
    RaceSettings settings;
    std::size_t seat = 0;
    for (const std::string &name : names)
        settings.racerName[seat++] = name;
    return Race(settings);
}

void setResult(RacerState &racer, std::string rank, std::string gap, std::string bestLap, std::string bestSpeed)
{
    racer.rankText = std::move(rank);
    racer.gapText = std::move(gap);
    racer.bestLapTimeText = std::move(bestLap);
    racer.bestSpeedText = std::move(bestSpeed);
}

// Racer 2 finished first with the race clock at 1:02:345; racer 1 followed on
// the same lap half a second later.
Race twoRacerRace()
{
    Race race = raceOf({"Anna Veselá", "Petr Novák"});
    setResult(race.racers[0], "2", " [ 0:00:500 ]", "0:05:123", "448");
    setResult(race.racers[1], "1", "- průběžné vedení -", "0:05:012", "459");
    race.state.raceElapsedMs = 62345.9;
    return race;
}

Message resultsQuestion()
{
    return {"Otázka", "Závod již skončil. Přejete si výsledky uložit", MessageButtons::YesNo, MessageIcon::Question};
}

Message resultsError()
{
    return {"Chyba", "Chyba pri vytváření herních výsledků!", MessageButtons::Ok, MessageIcon::Error};
}

} // namespace

TEST(ResultsText, TwoRacerRaceGivesTheReferenceFile)
{
    EXPECT_EQ(utf8ToCp1250(resultsText(twoRacerRace())), testData("results_two_racers.csv"));
}

TEST(ResultsText, DisqualifiedNoLapEmptySeatAndQuotedNamesGiveTheReferenceFile)
{
    Race race = raceOf({"Jan \"Blesk\" Novák", "", "Novák, Petr", "Eva", "Ota"});
    setResult(race.racers[0], "1", "- průběžné vedení -", "0:07:250", "305");
    setResult(race.racers[2], "!", "- diskvalifikace -", "0:07:900", "280");
    setResult(race.racers[4], "2", "2 [ 0:21:500 ]", "0:06:800", "330");
    race.state.raceElapsedMs = 95000;
    EXPECT_EQ(utf8ToCp1250(resultsText(race)), testData("results_mixed_seats.csv"));
}

TEST(ResultsText, GapWithoutClosingBracketGivesAnEmptyTime)
{
    Race race = raceOf({"Eva"});
    setResult(race.racers[0], "2", "1 [", "...", "...");
    const std::string text = resultsText(race);
    EXPECT_EQ(text.substr(text.find("\r\n")), "\r\n\"Eva\",\"2\",\" (ztráty)\",\"... [m:s:ms]\",\"... [km/h]\"");
}

TEST(RaceResultsSave, YesAndAFileWriteTheResults)
{
    FakeSettingsUi ui;
    ui.expectMessage(resultsQuestion(), MessageAnswer::Yes);
    ui.expectFileToSave(FileKind::Results, "/závody/finále.csv");
    offerRaceResults(twoRacerRace(), ui);
    EXPECT_EQ(ui.files["/závody/finále.csv"], testData("results_two_racers.csv"));
}

TEST(RaceResultsSave, NoOrACancelledDialogWritesNothing)
{
    FakeSettingsUi ui;
    ui.expectMessage(resultsQuestion(), MessageAnswer::No);
    offerRaceResults(twoRacerRace(), ui);
    ui.expectMessage(resultsQuestion(), MessageAnswer::Yes);
    ui.expectFileToSave(FileKind::Results, std::nullopt);
    offerRaceResults(twoRacerRace(), ui);
    EXPECT_TRUE(ui.files.empty());
}

TEST(RaceResultsSave, FileThatCannotBeWrittenIsReported)
{
    FakeSettingsUi ui;
    ui.unwritablePaths.insert("/dev/full");
    ui.expectMessage(resultsQuestion(), MessageAnswer::Yes);
    ui.expectFileToSave(FileKind::Results, "/dev/full");
    ui.expectMessage(resultsError());
    offerRaceResults(twoRacerRace(), ui);
    EXPECT_TRUE(ui.files.empty());
}

TEST(RaceResultsSave, NameTheCodePageCannotHoldIsReportedNotMangled)
{
    Race race = twoRacerRace();
    race.racers[0].nameText = "Łukasz ✓";
    FakeSettingsUi ui;
    ui.expectMessage(resultsQuestion(), MessageAnswer::Yes);
    ui.expectFileToSave(FileKind::Results, "/tmp/vysledky.csv");
    ui.expectMessage(resultsError());
    offerRaceResults(race, ui);
    EXPECT_TRUE(ui.files.empty());
}
