// The results file of a race whose racers' names came from a settings file
// with bytes the Windows-1250 code page leaves undefined.
#include "engine/resultsfile.h"

#include "support/settingstestsupport.h"

#include <gtest/gtest.h>

// Such a byte is read as U+FFFD, which the code page cannot write: the whole
// results file used to be refused with an error, losing the race's results.
TEST(ResultsBadInput, NameWithAnUndefinedByteNoLongerLosesTheResults)
{
    RaceSettings settings;
    settings.racerName[0] = "Jan\xEF\xBF\xBD";
    settings.racerName[1] = "Eva";
    Race race(settings);
    race.racers[0].rankText = "1";
    race.racers[1].rankText = "2";
    race.racers[1].gapText = " [ 0:01:250 ]";
    race.state.raceElapsedMs = 61000;

    FakeSettingsUi ui;
    ui.expectMessage({"Otázka", "Závod již skončil. Přejete si výsledky uložit", MessageButtons::YesNo,
                      MessageIcon::Question},
                     MessageAnswer::Yes);
    ui.expectFileToSave(FileKind::Results, "/home/eva/vysledky.csv");
    offerRaceResults(race, ui);

    const std::string &file = ui.files["/home/eva/vysledky.csv"];
    EXPECT_NE(file.find("\r\n\"Jan?\",\"1\",\"1:01:000 (v\xEDt\xECzn\xFD celkov\xED \xE8" "as)\""), std::string::npos)
        << file;
    EXPECT_NE(file.find("\r\n\"Eva\",\"2\",\"0:01:250 (ztr\xE1ty)\""), std::string::npos) << file;
}
