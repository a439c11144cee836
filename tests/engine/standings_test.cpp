#include "engine/racescript.h"

#include <gtest/gtest.h>

namespace {

constexpr const char *kLeading = "- průběžné vedení -";

} // namespace

TEST(Standings, FirstSeatsToCompleteLapOneArePlacedInOrderOfArrival)
{
    RaceScript script;
    script.startRace(10'000);
    script.cross(2, 14'000);
    script.cross(0, 14'800);
    script.cross(1, 15'000);

    EXPECT_EQ(script.racer(2).rankText, "1");
    EXPECT_EQ(script.racer(0).rankText, "2");
    EXPECT_EQ(script.racer(1).rankText, "3");
    EXPECT_EQ(script.racer(2).gapText, kLeading);
    EXPECT_EQ(script.racer(0).gapText, " [ 0:00:800 ]") << "on the leader's lap: no lap count";
    EXPECT_EQ(script.racer(1).gapText, " [ 0:01:000 ]");
    EXPECT_EQ(script.racer(3).rankText, "( )");
}

TEST(Standings, OvertakeOnLapCountLeavesAStaleGapOnTheFormerLeader)
{
    RaceScript script;
    script.startRace(10'000);
    for (int lap = 1; lap <= 3; ++lap) {
        script.cross(0, 10'000 + 5000 * lap);
        script.cross(1, 10'500 + 5000 * lap);
    }
    ASSERT_EQ(script.racer(0).rankText, "1");
    ASSERT_EQ(script.racer(1).rankText, "2");

    script.cross(1, 29'000); // lap 4 while seat 0 still has 3
    EXPECT_EQ(script.racer(1).rankText, "1");
    EXPECT_EQ(script.racer(0).rankText, "2");
    EXPECT_EQ(script.racer(1).gapText, kLeading);
    EXPECT_EQ(script.racer(0).gapText, "...") << "stale until its own next crossing";

    script.cross(0, 30'000);
    EXPECT_EQ(script.racer(0).rankText, "2");
    EXPECT_EQ(script.racer(0).gapText, " [ 0:01:000 ]");
}

TEST(Standings, SeatLapsDownShowsTheLapsAndTheTimeSinceTheLeaderCompletedTheSameLap)
{
    RaceScript script;
    script.startRace(10'000);
    script.cross(0, 15'000);
    script.cross(0, 16'000);
    script.cross(1, 16'234);
    EXPECT_EQ(script.racer(1).gapText, "1 [ 0:01:234 ]");

    script.cross(0, 17'000);
    script.cross(0, 18'000);
    script.cross(1, 16'000 + 21'500); // lap 2, the leader has 4
    EXPECT_EQ(script.racer(1).gapText, "2 [ 0:21:500 ]");
    EXPECT_EQ(script.racer(1).rankText, "2");
}

// Equal positions on equal laps arise from the finishing rule; the ranking
// must then pick the lower seat as leader, and otherwise the better position.
TEST(Standings, EqualPositionsOnEqualLapsLeaveTheLowerSeatLeading)
{
    auto gapOfThirdSeat = [](const char *rankOfSeat0, const char *rankOfSeat1) {
        RaceScript script;
        script.startRace(10'000);
        script.cross(0, 15'000);
        script.cross(1, 15'500);
        script.cross(0, 20'000);
        script.cross(1, 21'000);
        script.racer(0).rankText = rankOfSeat0;
        script.racer(1).rankText = rankOfSeat1;
        script.cross(2, 22'000); // its lap 1, which the leader completed at 15'000 or 15'500
        return script.racer(2).gapText;
    };
    EXPECT_EQ(gapOfThirdSeat("1", "1"), "1 [ 0:07:000 ]");
    EXPECT_EQ(gapOfThirdSeat("2", "1"), "1 [ 0:06:500 ]");
}

TEST(Standings, FinishingSeatLeavesTheOtherPositionsUntilTheyCross)
{
    RaceSettings settings = RaceScript::twoRacers();
    settings.lapsPerRide = "2";
    RaceScript script(settings);
    script.startRace(10'000);
    script.cross(0, 15'000);
    script.cross(1, 15'500);
    script.cross(2, 16'000);

    script.cross(1, 19'000); // finishes, moving up from 2 to 1
    EXPECT_EQ(script.racer(1).rankText, "1");
    EXPECT_EQ(script.racer(1).flagCode, "2");
    EXPECT_EQ(script.racer(0).rankText, "1") << "no shift on a finishing crossing";
    EXPECT_EQ(script.racer(2).rankText, "3");

    script.cross(0, 20'000);
    EXPECT_EQ(script.racer(0).rankText, "2");
    EXPECT_EQ(script.racer(0).gapText, " [ 0:01:000 ]");
    EXPECT_EQ(script.racer(2).rankText, "3");
}
