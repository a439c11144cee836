#include "display/colourscheme.h"

#include <gtest/gtest.h>

// The packed 0x00BBGGRR value is halved as one number, so an odd green or
// blue spills its low bit into the byte below: blue's red 80 becomes 168.
TEST(ColourScheme, OddStripesHalveThePackedBorderColour)
{
    EXPECT_EQ(stripeColour(colourScheme(0), 1), (Rgb{168, 98, 127}));
    EXPECT_EQ(stripeColour(colourScheme(1), 1), (Rgb{253, 194, 75}));
    EXPECT_EQ(stripeColour(colourScheme(2), 1), (Rgb{43, 118, 35}));
    EXPECT_EQ(stripeColour(colourScheme(1), 0), (Rgb{250, 133, 151}));
    EXPECT_EQ(stripeColour(colourScheme(1), 2), (Rgb{250, 133, 151}));
}

TEST(ColourScheme, PackedFormHoldsRedInTheLowByte)
{
    EXPECT_EQ(packedColour({0x12, 0x34, 0x56}), 0x563412u);
    EXPECT_EQ(unpackedColour(0x563412u), (Rgb{0x12, 0x34, 0x56}));
}

TEST(ColourScheme, ValueOutsideTheThreeSchemesPaintsInTheFirst)
{
    EXPECT_EQ(colourScheme(3).border, colourScheme(0).border);
    EXPECT_EQ(colourScheme(-1).fillA, colourScheme(0).fillA);
    EXPECT_EQ(colourScheme(2).text, (Rgb{15, 120, 12}));
}
