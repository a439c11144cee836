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
    for (const auto &[code, picture] : {std::pair{"0", 115}, {"3", 118}, {"7", 122}, {"8", 0}, {"-1", 0}})
        EXPECT_EQ(flagPictureResource(code), picture) << "flag " << code;
    // Tank "0" must not reach 122, which is a flag.
    for (const auto &[tank, picture] : {std::pair{"1", 123}, {"8", 130}, {"10", 132}, {"0", 0}, {"11", 0}})
        EXPECT_EQ(tankPictureResource(tank), picture) << "tank " << tank;
}

TEST(TableCells, ActionButtonsSitAtTheCellsQuarterPoints)
{
    // Seat 3 is row index 2; its cell 51 x 100 px at (0, 250).
    const std::array<ActionButton, 2> buttons = actionButtons(2, {0, 250, 51, 350});
    EXPECT_EQ(buttons[0].resource, 132);
    EXPECT_EQ(buttons[1].resource, 133);
    EXPECT_EQ(buttons[0].geometry, (Rect{8, 258, 43, 292}));
    EXPECT_EQ(buttons[1].geometry, (Rect{8, 308, 43, 342}));
}
