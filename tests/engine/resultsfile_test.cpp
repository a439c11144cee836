#include "engine/resultsfile.h"

#include "support/settingstestsupport.h"
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

const Message kResultsError = expected::error("Chyba pri vytváření herních výsledků!");

/// Offers the results of \a race, answered with \a answer and, after Yes,
/// the save dialog with \a path; returns the files written.
std::map<std::string, std::string> offerAnswered(const Race &race, MessageAnswer answer,
                                                 std::optional<std::string> path = std::nullopt,
                                                 std::optional<Message> message = std::nullopt)
{
    FakeSettingsUi ui;
    ui.unwritablePaths.insert("/dev/full");
    ui.expectMessage(expected::question("Závod již skončil. Přejete si výsledky uložit"), answer);
    if (answer == MessageAnswer::Yes)
        ui.expectFileToSave(FileKind::Results, path);
    if (message)
        ui.expectMessage(*message);
    offerRaceResults(race, ui);
    return ui.files;
}

} // namespace

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

TEST(RaceResultsSave, YesAndAFileWriteTheResultsNoOrACancelledDialogNothing)
{
    EXPECT_EQ(offerAnswered(twoRacerRace(), MessageAnswer::Yes, "/závody/finále.csv"),
              (std::map<std::string, std::string>{{"/závody/finále.csv", testData("results_two_racers.csv")}}));
    EXPECT_TRUE(offerAnswered(twoRacerRace(), MessageAnswer::No).empty());
    EXPECT_TRUE(offerAnswered(twoRacerRace(), MessageAnswer::Yes, std::nullopt).empty());
}

TEST(RaceResultsSave, FileThatCannotBeWrittenIsReported)
{
    EXPECT_TRUE(offerAnswered(twoRacerRace(), MessageAnswer::Yes, "/dev/full", kResultsError).empty());
}

TEST(RaceResultsSave, NameTheCodePageCannotHoldIsReportedNotMangled)
{
    Race race = twoRacerRace();
    race.racers[0].nameText = "Łukasz ✓";
    EXPECT_TRUE(offerAnswered(race, MessageAnswer::Yes, "/tmp/vysledky.csv", kResultsError).empty());
}
