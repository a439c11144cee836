#include "display/tablecells.h"
#include "display/tablelayout.h"

#include <gtest/gtest.h>

// The widths at 1000 and 1280 px are checked as painted column edges.
TEST(ColumnWidths, NarrowAreaKeepsMinimumsAndSharesTheRest)
{
    // At 600 px the name (150), tank (100) and flag (80) columns keep their
    // minimums: 270 px and their 33 % remain, so 4 % becomes 5 % and 8 %
    // becomes 10 %; the last column takes what is left to the edge.
    const std::array<int, kColumnCount> expected{13, 13, 150, 27, 27, 29, 29, 40, 45, 100, 127};
    EXPECT_EQ(columnWidths(600), expected);
}

// 853 px: (853 - 50) / 8 = 100 px rows with 3 px over. The 850 px rows of
// each arrangement are checked as painted row edges.
TEST(TableRows, LastRowReachesTheBottomOnlyWhereItsArrangementSaysSo)
{
    struct Case {
        Arrangement arrangement;
        int racers;
        int slot;
        int bottom; ///< 0: the slot is not drawn
    };
    const Case cases[] = {
        {Arrangement::AllSeats, 3, 6, 750},
        {Arrangement::AllSeats, 3, 7, 853}, // seats not in use show as empty rows
        {Arrangement::Top, 3, 2, 350},
        {Arrangement::Top, 3, 3, 0},
        {Arrangement::Top, 8, 7, 853},
        {Arrangement::Bottom, 3, 2, 853},
        {Arrangement::Bottom, 3, 3, 0},
        {Arrangement::Centred, 3, 2, 601},
        {Arrangement::Centred, 3, 3, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "arrangement " << int(c.arrangement) << ", slot " << c.slot);
        const TableRows rows = tableRows(c.arrangement, c.racers, 853);
        EXPECT_EQ(rows.slotDrawn(c.slot), c.bottom != 0);
        if (c.bottom != 0) {
            EXPECT_EQ(rows.rowBottom(c.slot), c.bottom);
        }
    }
}

TEST(TableRows, UnknownArrangementShowsAllSeats)
{
    EXPECT_EQ(arrangementFromSetting(5), Arrangement::AllSeats);
    EXPECT_EQ(arrangementFromSetting(-1), Arrangement::AllSeats);
    EXPECT_EQ(arrangementFromSetting(4), Arrangement::StretchActive);
}

// The stretched arrangement without racers is checked as painted.
TEST(TableRows, WithNoRacerOnlyAllSeatsHasRows)
{
    EXPECT_FALSE(tableRows(Arrangement::Centred, 0, 850).hasRows());
    EXPECT_FALSE(tableRows(Arrangement::Top, 0, 850).hasRows());
    EXPECT_TRUE(tableRows(Arrangement::AllSeats, 0, 850).hasRows());
}

TEST(TableSizeScale, GrowsOnlyAbove1080Lines)
{
    EXPECT_EQ(tableSizeScale(768), 1.0);
    EXPECT_EQ(tableSizeScale(1024), 1.0);
    EXPECT_EQ(tableSizeScale(1080), 1.0);
    EXPECT_DOUBLE_EQ(tableSizeScale(1440), 1440.0 / 1080);
    EXPECT_EQ(tableSizeScale(2160), 2.0);
    EXPECT_EQ(scaledSize(kHeaderHeight, 1.0), kHeaderHeight);
    EXPECT_EQ(scaledSize(30, 1440.0 / 1080), 40);
    EXPECT_EQ(unitBandHeight(4, 2.0), 60);
    EXPECT_EQ(unitBandHeight(3, 2.0), 0);

    // A grown header band moves every row down and shares what is left.
    const TableRows rows = tableRows(Arrangement::Centred, 3, 2160, scaledSize(kHeaderHeight, 2.0));
    EXPECT_EQ(rows.rowHeight, (2160 - 100) / 8);
    EXPECT_EQ(rows.tableTop, 1080 - (rows.rowHeight * 3 + 100) / 2);
    EXPECT_EQ(rows.rowTop(0), rows.tableTop + 100);
}
