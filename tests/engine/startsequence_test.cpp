#include "engine/startsequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <deque>

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
    const Rect screen{0, 0, 1280, 1024};
    EXPECT_EQ(growBackStep({450, 700, 830, 960}, screen, 6), (Rect{444, 694, 836, 966}));
    EXPECT_EQ(growBackStep({3, 2, 1277, 1022}, screen, 6), (Rect{0, 0, 1280, 1024}));
    EXPECT_EQ(growBackStep({0, 0, 1280, 1024}, screen, 6), (Rect{0, 0, 1280, 1024}));
    // Towards an area below a 30 px panel, a window reaching past it is
    // brought back to its edges.
    EXPECT_EQ(growBackStep({0, 30, 1280, 1030}, {0, 30, 1280, 1024}, 6), (Rect{0, 30, 1280, 1024}));
}

namespace {

const Rect kScreen{0, 0, 1280, 1024};
const Rect kBelowPanel{0, 30, 1280, 1024};
const Rect kAfterSlide{450, 700, 830, 960};

struct Outcome {
    Rect window;
    int ticks = 0;
    bool finished = false;
};

// Runs the grow-back against a window manager that turns each request into
// the window's next place, as the next tick reads it.
template <typename WindowManager>
Outcome growBack(const Rect &available, WindowManager place, int maxTicks = 1000)
{
    GrowBack growBack(kScreen, available);
    Outcome outcome{kAfterSlide};
    while (outcome.ticks < maxTicks && !outcome.finished) {
        const GrowBack::Step step = growBack.tick(outcome.window);
        outcome.finished = step.finished;
        outcome.window = place(step.window);
        ++outcome.ticks;
    }
    return outcome;
}

Rect honoured(const Rect &request)
{
    return request;
}

// Keeps the window's top edge below a 30 px panel, size as asked.
Rect belowPanel(const Rect &request)
{
    const int shift = std::max(0, 30 - request.top);
    return {request.left, request.top + shift, request.right, request.bottom + shift};
}

} // namespace

TEST(GrowBack, EndsOnTheTickAfterTheWindowFillsTheScreen)
{
    // 700 -> 0 at 6 px a tick is 117 ticks; the next one finds it there.
    for (const Rect &available : {kScreen, kBelowPanel}) {
        const Outcome outcome = growBack(available, honoured);
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.window, kScreen);
        EXPECT_EQ(outcome.ticks, 118);
    }
}

TEST(GrowBack, SettlesInTheAvailableAreaWhenAPanelKeepsTheWindowDown)
{
    const Outcome outcome = growBack(kBelowPanel, belowPanel);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.window, kBelowPanel);
    EXPECT_LT(outcome.ticks, 118 + 2 * GrowBack::kPatienceTicks);
}

TEST(GrowBack, EndsWhereTheWindowStopsWhenNoAreaIsAnnounced)
{
    // A window manager that keeps the window down without announcing the
    // panel in the available area: nothing better to aim at.
    const Outcome stuck = growBack(kScreen, belowPanel);
    EXPECT_TRUE(stuck.finished);
    EXPECT_EQ(stuck.window.top, 30);
    EXPECT_EQ(stuck.window.width(), 1280);

    // One that does not move the window at all gives up both targets.
    const Outcome unmoved = growBack(kBelowPanel, [](const Rect &) { return kAfterSlide; });
    EXPECT_TRUE(unmoved.finished);
    EXPECT_EQ(unmoved.window, kAfterSlide);
    // Each target: the tick that first measures it, then the patience.
    EXPECT_EQ(unmoved.ticks, 2 * (1 + GrowBack::kPatienceTicks));
}

TEST(GrowBack, ASlowWindowManagerStillGetsTheFullScreen)
{
    // Each request takes effect only on the fourth tick after it.
    std::deque<Rect> pending(3, kAfterSlide);
    const Outcome outcome = growBack(kBelowPanel, [&](const Rect &request) {
        pending.push_back(request);
        const Rect now = pending.front();
        pending.pop_front();
        return now;
    });
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.window, kScreen);
}
