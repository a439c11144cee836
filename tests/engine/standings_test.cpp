// Laps down, the time behind the leader's same lap and a finishing crossing
// that shifts no one are checked in the whole race.
#include "engine/racescript.h"

#include <gtest/gtest.h>

constexpr const char *kLeading = "- průběžné vedení -";

TEST(Standings, FirstSeatsToCompleteLapOneArePlacedInOrderOfArrival)
{
    RaceScript script;
    script.startRace(10'000);
    script.cross(2, 14'000);
    script.cross(0, 14'800);
    script.cross(1, 15'000);
    EXPECT_EQ(script.column(&RacerState::rankText, 4), (Texts{"2", "3", "1", "( )"}));
    // On the leader's lap: no lap count.
    EXPECT_EQ(script.column(&RacerState::gapText, 3), (Texts{" [ 0:00:800 ]", " [ 0:01:000 ]", kLeading}));
}

TEST(Standings, OvertakeOnLapCountLeavesAStaleGapOnTheFormerLeader)
{
    RaceScript script;
    script.startRace(10'000);
    for (int lap = 1; lap <= 3; ++lap) {
        script.cross(0, 10'000 + 5000 * lap);
        script.cross(1, 10'500 + 5000 * lap);
    }
    ASSERT_EQ(script.column(&RacerState::rankText, 2), (Texts{"1", "2"}));

    script.cross(1, 29'000); // lap 4 while seat 0 still has 3
    EXPECT_EQ(script.column(&RacerState::rankText, 2), (Texts{"2", "1"}));
    EXPECT_EQ(script.column(&RacerState::gapText, 2), (Texts{"...", kLeading})) << "stale until its next crossing";

    script.cross(0, 30'000);
    EXPECT_EQ(script.racer(0).rankText, "2");
    EXPECT_EQ(script.racer(0).gapText, " [ 0:01:000 ]");
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
