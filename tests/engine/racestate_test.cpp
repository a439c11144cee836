#include "engine/racestate.h"

#include <gtest/gtest.h>

// The scan waits while a row waits for its repaint, so a request must never
// be lost and never block the scan once the display has painted.
TEST(RepaintRequest, WaitsBehindTheRowBeingPaintedUntilTheDisplayIsDone)
{
    Race race(RaceSettings{});
    race.requestRepaint(3);
    EXPECT_EQ(race.state.repaintRow, kNoRow) << "no race table yet";
    EXPECT_EQ(race.state.queuedRepaintRow, 3);

    race.state.raceScreenReady = true;
    race.repaintDone();
    EXPECT_EQ(race.state.repaintRow, 3);
    race.repaintDone();
    EXPECT_EQ(race.state.repaintRow, kNoRow);

    race.requestRepaint(1);
    race.requestRepaint(5);
    race.requestRepaint(6);
    race.state.refreshColumn = 2;
    EXPECT_EQ(race.state.repaintRow, 1);
    EXPECT_EQ(race.state.queuedRepaintRow, 6) << "one row waits behind, the latest";

    race.repaintDone();
    EXPECT_EQ(race.state.repaintRow, 6);
    EXPECT_EQ(race.state.queuedRepaintRow, kNoRow);
    EXPECT_EQ(race.state.refreshColumn, kNoRow);
}
