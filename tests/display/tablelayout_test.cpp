#include "display/tablelayout.h"

#include <gtest/gtest.h>

#include <numeric>

TEST(ColumnWidths, TakeTheirShareOfAThousandPixels)
{
    const std::array<int, kColumnCount> expected{40, 40, 150, 80, 80, 90, 90, 120, 130, 100, 80};
    EXPECT_EQ(columnWidths(1000), expected);
}

TEST(ColumnWidths, LastColumnTakesWhatIsLeftToTheEdge)
{
    const std::array<int, kColumnCount> expected{51, 51, 192, 102, 102, 115, 115, 153, 166, 128, 105};
    const std::array<int, kColumnCount> widths = columnWidths(1280);
    EXPECT_EQ(widths, expected);
    EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), 1280);
}

TEST(ColumnWidths, NarrowAreaKeepsMinimumsAndSharesTheRest)
{
    // At 600 px the name (150), tank (100) and flag (80) columns are fixed:
    // 270 px and a share of 33 remain; 4 % becomes 5 %, 8 % becomes 10 %.
    const std::array<int, kColumnCount> widths = columnWidths(600);
    EXPECT_EQ(widths[2], 150);
    EXPECT_EQ(widths[9], 100);
    EXPECT_EQ(widths[0], 13);
    EXPECT_EQ(widths[3], 27);
    EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), 600) << "the last column reaches the edge";
}

TEST(TableRows, ThreeRacersIn850PixelsPerArrangement)
{
    const TableRows bottom = tableRows(Arrangement::Bottom, 3, 850);
    EXPECT_EQ(bottom.rowHeight, 100);
    EXPECT_EQ(bottom.tableTop, 500);
    EXPECT_EQ(bottom.rowTop(0), 550);
    EXPECT_EQ(bottom.rowBottom(2), 850);
    EXPECT_FALSE(bottom.slotDrawn(3));

    const TableRows centred = tableRows(Arrangement::Centred, 3, 850);
    EXPECT_EQ(centred.tableTop, 250);
    EXPECT_EQ(centred.rowSlots, 3);
    EXPECT_EQ(centred.rowTop(0), 300);
    EXPECT_EQ(centred.rowBottom(2), 600) << "no row is stretched";

    const TableRows stretched = tableRows(Arrangement::StretchActive, 3, 850);
    EXPECT_EQ(stretched.rowHeight, 266);
    EXPECT_EQ(stretched.rowTop(1), 316);
    EXPECT_EQ(stretched.rowBottom(1), 582);
    EXPECT_EQ(stretched.rowBottom(2), 850);
}

TEST(TableRows, LastRowReachesTheBottomOnlyWhereItsArrangementSaysSo)
{
    // 853 px: (853 - 50) / 8 = 100 with 3 px over.
    const TableRows all = tableRows(Arrangement::AllSeats, 3, 853);
    EXPECT_TRUE(all.slotDrawn(7)) << "seats not in use show as empty rows";
    EXPECT_EQ(all.rowBottom(6), 750);
    EXPECT_EQ(all.rowBottom(7), 853);

    const TableRows top = tableRows(Arrangement::Top, 3, 853);
    EXPECT_FALSE(top.slotDrawn(3));
    EXPECT_EQ(top.rowBottom(2), 350);
    EXPECT_EQ(tableRows(Arrangement::Top, 8, 853).rowBottom(7), 853);

    EXPECT_EQ(tableRows(Arrangement::Bottom, 3, 853).rowBottom(2), 853);
}

TEST(TableRows, UnknownArrangementShowsAllSeats)
{
    EXPECT_EQ(arrangementFromSetting(5), Arrangement::AllSeats);
    EXPECT_EQ(arrangementFromSetting(-1), Arrangement::AllSeats);
    EXPECT_EQ(arrangementFromSetting(4), Arrangement::StretchActive);
}

TEST(TableRows, StretchWithNoRacerHasHeaderOnly)
{
    const TableRows rows = tableRows(Arrangement::StretchActive, 0, 850);
    EXPECT_EQ(rows.rowSlots, 0);
    EXPECT_FALSE(rows.hasRows());
    EXPECT_FALSE(tableRows(Arrangement::Centred, 0, 850).hasRows());
    EXPECT_TRUE(tableRows(Arrangement::AllSeats, 0, 850).hasRows());
}
