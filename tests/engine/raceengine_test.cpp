#include "engine/racescript.h"

#include <gtest/gtest.h>

namespace {

const std::string kLapsTitle = "..:: Základní program modelové autodráhy Tramelo ::.. VOLENá KOLA: 12";

RaceSettings factorySettings()
{
    RaceSettings settings;
    applyFactorySettings(settings);
    return settings;
}

} // namespace

TEST(RaceClock, TitleShowsTheRaceTimeFromTheFirstTickAfterTheStart)
{
    RaceScript script(factorySettings());
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
    RaceScript script(factorySettings());
    script.startRace(10'000);
    script.host.clockMs = 2'147'480'000;
    script.engine.raceClockTick();
    script.host.clockMs = static_cast<std::int32_t>(2'147'480'000u + 7'296u);
    script.engine.raceClockTick();
    EXPECT_EQ(script.host.title, kLapsTitle + " / čAS ZáVODU: 0:07:296");
}

TEST(RaceScreen, EnteringTakesTheNamesAgainAndStartsTheRaceTimers)
{
    RaceScript script(factorySettings());
    script.settings.racerName[0] = "";
    script.settings.racerName[2] = "Cyril";
    script.host.timers[kSlideTimer] = 10;
    script.engine.enterRaceScreen();

    EXPECT_EQ(script.host.title, kLapsTitle);
    EXPECT_TRUE(script.state().raceScreenReady);
    EXPECT_EQ(script.state().slidePhase, 4);
    EXPECT_EQ(script.racer(0).nameText, "-1");
    EXPECT_EQ(script.racer(1).nameText, "Závodník 2");
    EXPECT_EQ(script.racer(2).nameText, "Cyril");
    EXPECT_EQ(script.racer(3).nameText, "-1");
    EXPECT_EQ(script.host.timers, (std::map<int, int>{{kLogoTimer, 1000}, {kRepaintTimer, 10}, {kRaceEndTimer, 800}}));
}

TEST(RaceEnd, RaceIsOverWhenEveryUsedSeatHasFinishedOrIsDisqualified)
{
    RaceSettings settings = RaceScript::twoRacers();
    settings.lapsPerRide = "2";
    RaceScript script(settings);
    script.startRace(10'000);
    EXPECT_FALSE(script.engine.raceIsOver());

    script.cross(0, 15'000);
    script.cross(0, 20'000);
    ASSERT_EQ(script.racer(0).flagCode, "2");
    EXPECT_FALSE(script.engine.raceIsOver()) << "seat 1 still races";

    script.engine.racerButtonCommand(3103);
    script.cross(1, 16'000);
    ASSERT_TRUE(script.racer(1).disqualified);
    EXPECT_TRUE(script.engine.raceIsOver()) << "the six empty seats do not count";
}
