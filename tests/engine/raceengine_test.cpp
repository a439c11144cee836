#include "engine/racescript.h"

#include <gtest/gtest.h>

const std::string kLapsTitle = "..:: Základní program modelové autodráhy Tramelo ::.. VOLENá KOLA: 5";

TEST(RaceClock, TitleShowsTheRaceTimeFromTheFirstTickAfterTheStart)
{
    RaceScript script;
    script.host.clockMs = 20'000;
    script.engine.raceClockTick();
    EXPECT_EQ(script.host.title, "") << "not before a car has started";
    EXPECT_EQ(script.state().raceStartClock, 0);

    script.startRace(10'000);
    script.host.clockMs = 21'000;
    script.engine.raceClockTick();
    EXPECT_EQ(script.state().raceStartClock, 21'000);
    script.host.clockMs = 26'000;
    script.engine.raceClockTick();
    EXPECT_EQ(script.host.title, kLapsTitle + " / čAS ZáVODU: 0:05:000");
    EXPECT_EQ(script.state().raceElapsedMs, 5000.0);
}

// The race time used to be converted from a double that a wrapped host clock
// puts far outside the 32-bit range, which is undefined.
TEST(RaceClock, RaceTimeStaysRightWhenTheHostClockWraps)
{
    RaceScript script;
    script.startRace(10'000);
    script.host.clockMs = 2'147'480'000;
    script.engine.raceClockTick();
    script.host.clockMs = static_cast<std::int32_t>(2'147'480'000u + 7'296u);
    script.engine.raceClockTick();
    EXPECT_EQ(script.host.title, kLapsTitle + " / čAS ZáVODU: 0:07:296");
}

// Names are taken from the settings as they are now; an empty one marks a
// seat that takes no part.
TEST(RaceScreen, EnteringTakesTheNamesAgainAndStartsTheRaceTimers)
{
    RaceScript script;
    script.settings.racerName[0] = "";
    script.settings.racerName[2] = "Cyril";
    script.host.timers[kSlideTimer] = 10;
    script.engine.enterRaceScreen();

    EXPECT_EQ(script.host.title, kLapsTitle);
    EXPECT_TRUE(script.state().raceScreenReady);
    EXPECT_EQ(script.state().slidePhase, 4);
    EXPECT_EQ(script.column(&RacerState::nameText, 4), (Texts{"-1", "Bára", "Cyril", "-1"}));
    EXPECT_EQ(script.host.timers, (std::map<int, int>{{kLogoTimer, 1000}, {kRepaintTimer, 10}, {kRaceEndTimer, 800}}));
}
