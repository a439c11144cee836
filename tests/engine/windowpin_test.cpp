#include "engine/windowpin.h"

#include <gtest/gtest.h>

namespace {

const Rect kHome{0, 30, 1280, 1024};
const Rect kMoved{100, 130, 1380, 1124};

} // namespace

TEST(WindowPin, PutsAMovedWindowBackButNeverOneAtHome)
{
    WindowPin pin(kHome);
    EXPECT_FALSE(pin.shouldPin(kHome, 0));
    EXPECT_TRUE(pin.shouldPin(kMoved, 10));
    EXPECT_FALSE(pin.shouldPin(kHome, 20));
    // Moves spread over time are each put back.
    for (int second = 1; second <= 10; ++second)
        EXPECT_TRUE(pin.shouldPin(kMoved, second * 1000)) << second;
}

TEST(WindowPin, GivesUpAFightWithTheWindowManagerAndPinsAgainLater)
{
    // A window manager answering every pin with another place: three quick
    // tries, then the window is left alone, so the answers stop coming.
    WindowPin pin(kHome);
    int pins = 0;
    for (int ms = 0; ms < 500; ms += 5)
        pins += pin.shouldPin(kMoved, ms);
    EXPECT_EQ(pins, WindowPin::kPinsPerBurst);
    // A second after the first try a new move is put back again.
    EXPECT_FALSE(pin.shouldPin(kMoved, 999));
    EXPECT_TRUE(pin.shouldPin(kMoved, 1000));
}
