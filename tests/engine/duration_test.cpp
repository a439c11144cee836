#include "engine/duration.h"

#include <gtest/gtest.h>

#include <utility>

// Seconds and milliseconds are padded, minutes are not. Plain "%d" parts
// would write -5007 ms as 0:-5:0-7, hence the negative rows.
TEST(FormatDuration, PadsSecondsAndMillisAndPutsOneLeadingSign)
{
    for (const auto &[ms, text] : {std::pair{0, "0:00:000"}, {5007, "0:05:007"}, {59999, "0:59:999"},
                                   {83456, "1:23:456"}, {3600000, "60:00:000"}, {-5007, "-0:05:007"},
                                   {-83456, "-1:23:456"}, {-2147483647 - 1, "-35791:23:648"}})
        EXPECT_EQ(formatDuration(ms), text) << ms;
}
