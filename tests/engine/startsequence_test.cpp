#include "engine/startsequence.h"

#include <gtest/gtest.h>

#include <array>

// The 1280 x 1024 frame, panel and lights are checked through the countdown.
TEST(LightsGeometry, FollowsTheScreenSize)
{
    const struct {
        int width, height, size, gap, top;
        Rect window;
    } cases[] = {
        {1024, 768, 158, 39, 150, {16, 127, 1008, 331}},
        {1280, 1024, 205, 42, 254, {11, 223, 1266, 490}},
        // (800 - 140) / 5 x 0.9 = 118, just below 600 - 470 = 130.
        {800, 600, 118, 35, 86, {16, 67, 784, 223}},
        // A wide, low screen: the height limits the lights to 130.
        {1920, 600, 130, 211, 80, {180, 49, 1736, 241}},
    };
    for (const auto &c : cases) {
        const LightsGeometry g = lightsGeometry(c.width, c.height);
        EXPECT_EQ((std::array{g.size, g.gap, g.top}), (std::array{c.size, c.gap, c.top})) << c.width;
        EXPECT_EQ(lightsWindowGeometry(g.windowFrame()), c.window) << c.width;
    }
}

// A slide step moves by a 300th of the screen height; the finish test uses
// the bottom edge before the move. A grow-back step is a 200th of the width.
TEST(SlideDown, MovesByA300thOfTheScreenAndEndsNearTheBottom)
{
    const SlideStep first = slideDownStep({450, 382, 830, 642}, 1280, 1024);
    EXPECT_EQ(first.window, (Rect{450, 385, 830, 645}));
    EXPECT_FALSE(first.finished);
    EXPECT_FALSE(slideDownStep({450, 700, 830, 954}, 1280, 1024).finished);
    EXPECT_TRUE(slideDownStep({450, 700, 830, 955}, 1280, 1024).finished);
    EXPECT_TRUE(slideDownStep({450, 764, 830, 1024}, 1280, 1024).finished);
}

TEST(GrowBack, GrowsTowardsTheFullScreenAndStopsThere)
{
    EXPECT_EQ(growBackStep({450, 700, 830, 960}, 1280, 1024), (Rect{444, 694, 836, 966}));
    EXPECT_EQ(growBackStep({3, 2, 1277, 1022}, 1280, 1024), (Rect{0, 0, 1280, 1024}));
    EXPECT_EQ(growBackStep({0, 0, 1280, 1024}, 1280, 1024), (Rect{0, 0, 1280, 1024}));
}
