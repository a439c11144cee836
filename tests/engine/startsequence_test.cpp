#include "engine/startsequence.h"

#include <gtest/gtest.h>

TEST(LightsGeometry, FollowsTheScreenSize)
{
    const LightsGeometry at1024 = lightsGeometry(1024, 768);
    EXPECT_EQ(at1024.size, 158);
    EXPECT_EQ(at1024.gap, 39);
    EXPECT_EQ(at1024.top, 150);
    EXPECT_EQ(lightsWindowGeometry(at1024.windowFrame()), (Rect{16, 127, 1008, 331}));

    const LightsGeometry at1280 = lightsGeometry(1280, 1024);
    EXPECT_EQ(at1280.size, 205);
    EXPECT_EQ(at1280.gap, 42);
    EXPECT_EQ(at1280.top, 254);
    EXPECT_EQ(at1280.margin(), 14);
    EXPECT_EQ(at1280.windowFrame(), (Rect{21, 233, 1256, 480}));
    EXPECT_EQ(at1280.panel(), (Rect{28, 240, 1249, 473}));
    EXPECT_EQ(lightsWindowGeometry(at1280.windowFrame()), (Rect{11, 223, 1266, 490}));
    const int lefts[] = {42, 289, 536, 783, 1030};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(at1280.light(i), (Rect{lefts[i], 254, lefts[i] + 205, 459})) << i;

    // (800 - 140) / 5 x 0.9 = 118, just below 600 - 470 = 130.
    const LightsGeometry at800 = lightsGeometry(800, 600);
    EXPECT_EQ(at800.size, 118);
    EXPECT_EQ(lightsWindowGeometry(at800.windowFrame()), (Rect{16, 67, 784, 223}));

    // A wide, low screen: the height limits the lights to 600 - 470 = 130.
    const LightsGeometry wide = lightsGeometry(1920, 600);
    EXPECT_EQ(wide.size, 130);
    EXPECT_EQ(wide.gap, 211);
    EXPECT_EQ(wide.top, 80);
}

TEST(SlideDown, MovesByA300thOfTheScreenAndEndsNearTheBottom)
{
    const SlideStep first = slideDownStep({450, 382, 830, 642}, 1280, 1024);
    EXPECT_EQ(first.window, (Rect{450, 385, 830, 645}));
    EXPECT_FALSE(first.finished);

    // The test uses the bottom edge before the move.
    EXPECT_FALSE(slideDownStep({450, 700, 830, 954}, 1280, 1024).finished);
    EXPECT_TRUE(slideDownStep({450, 700, 830, 955}, 1280, 1024).finished);
    EXPECT_TRUE(slideDownStep({450, 764, 830, 1024}, 1280, 1024).finished) << "already at the bottom";
}

TEST(GrowBack, GrowsTowardsTheFullScreenAndStopsThere)
{
    // step = 1280 / 200 = 6
    EXPECT_EQ(growBackStep({450, 700, 830, 960}, 1280, 1024), (Rect{444, 694, 836, 966}));
    EXPECT_EQ(growBackStep({3, 2, 1277, 1022}, 1280, 1024), (Rect{0, 0, 1280, 1024}));
    EXPECT_EQ(growBackStep({0, 0, 1280, 1024}, 1280, 1024), (Rect{0, 0, 1280, 1024}));

    Rect window{450, 764, 830, 1024};
    int steps = 0;
    while (window != Rect{0, 0, 1280, 1024} && steps < 1000) {
        window = growBackStep(window, 1280, 1024);
        ++steps;
    }
    EXPECT_LT(steps, 200);
}
