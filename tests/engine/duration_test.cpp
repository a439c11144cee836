#include "engine/duration.h"

#include <gtest/gtest.h>

TEST(FormatDuration, PadsSecondsAndMillisButNotMinutes)
{
    EXPECT_EQ(formatDuration(0), "0:00:000");
    EXPECT_EQ(formatDuration(5007), "0:05:007");
    EXPECT_EQ(formatDuration(59999), "0:59:999");
    EXPECT_EQ(formatDuration(83456), "1:23:456");
    EXPECT_EQ(formatDuration(600000), "10:00:000");
    EXPECT_EQ(formatDuration(3600000), "60:00:000");
}

// The plain "%d" parts would write -5007 ms as 0:-5:0-7.
TEST(FormatDuration, NegativeDurationHasOneLeadingSign)
{
    EXPECT_EQ(formatDuration(-5007), "-0:05:007");
    EXPECT_EQ(formatDuration(-83456), "-1:23:456");
    EXPECT_EQ(formatDuration(-2147483647 - 1), "-35791:23:648");
}
