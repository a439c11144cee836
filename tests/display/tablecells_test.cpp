#include "display/tablecells.h"

#include <gtest/gtest.h>

TEST(TableCells, SpeedsAbove2300AreShownAsImplausible)
{
    RacerState racer;
    racer.lastLapSpeedText = "2300";
    racer.bestSpeedText = "2301";
    racer.lapsText = "2301";
    EXPECT_EQ(shownValueText(racer, 5), "2300");
    EXPECT_EQ(shownValueText(racer, 7), "- ?rychlost -");
    EXPECT_EQ(shownValueText(racer, 3), "2301") << "only speed columns are checked";
    racer.lastLapSpeedText = "...";
    EXPECT_EQ(shownValueText(racer, 5), "...");
}

TEST(TableCells, PicturesFollowTankStateAndFlagCode)
{
    EXPECT_EQ(flagPictureResource("3"), 118);
    EXPECT_EQ(flagPictureResource("0"), 115);
    EXPECT_EQ(flagPictureResource("7"), 122);
    EXPECT_EQ(flagPictureResource("8"), 0);
    EXPECT_EQ(flagPictureResource("-1"), 0);
    EXPECT_EQ(tankPictureResource("1"), 123);
    EXPECT_EQ(tankPictureResource("8"), 130);
    EXPECT_EQ(tankPictureResource("10"), 132);
    EXPECT_EQ(tankPictureResource("0"), 0) << "122 is a flag, not a gauge";
    EXPECT_EQ(tankPictureResource("11"), 0);
}

TEST(TableCells, ActionButtonsSitAtTheCellsQuarterPoints)
{
    // Seat 3 is row index 2; its cell 51 x 100 px at (0, 250).
    const std::array<ActionButton, 2> buttons = actionButtons(2, {0, 250, 51, 350});
    EXPECT_EQ(buttons[0].command, 3104);
    EXPECT_EQ(buttons[1].command, 3105);
    EXPECT_EQ(buttons[0].resource, 132);
    EXPECT_EQ(buttons[1].resource, 133);
    EXPECT_EQ(buttons[0].geometry, (Rect{8, 258, 43, 292}));
    EXPECT_EQ(buttons[1].geometry, (Rect{8, 308, 43, 342}));
}
