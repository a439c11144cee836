#include "display/colourscheme.h"

#include <gtest/gtest.h>

// The packed 0x00BBGGRR value is halved as one number, so an odd green or
// blue spills its low bit into the byte below: blue's red 80 becomes 168.
// Out-of-range schemes are checked where the table paints them.
TEST(ColourScheme, OddStripesHalveThePackedBorderColour)
{
    EXPECT_EQ(stripeColour(colourScheme(0), 1), (Rgb{168, 98, 127}));
    EXPECT_EQ(stripeColour(colourScheme(1), 1), (Rgb{253, 194, 75}));
    EXPECT_EQ(stripeColour(colourScheme(2), 1), (Rgb{43, 118, 35}));
    EXPECT_EQ(stripeColour(colourScheme(1), 0), (Rgb{250, 133, 151}));
    EXPECT_EQ(stripeColour(colourScheme(1), 2), (Rgb{250, 133, 151}));
}
