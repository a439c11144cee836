#include "display/tablefonts.h"

#include <QFontInfo>

#include <gtest/gtest.h>

TEST(TableFonts, CzechSerifFaceIsSubstitutedByLiberationSerif)
{
    EXPECT_EQ(QFontInfo(headerFont()).family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(QFontInfo(valueFont(40, true)).family(), QStringLiteral("Liberation Serif"));
}

// Rounded metrics can make Qt's cell a pixel taller than the em suggests.
TEST(TableFonts, ValueFontCellIsAtMostTheAskedHeight)
{
    for (int size = kLargestValueSize; size > 0; size -= kValueSizeStep) {
        for (bool bold : {false, true}) {
            const int cellHeight = size / 10;
            const int measured = QFontMetrics(valueFont(cellHeight, bold)).height();
            EXPECT_LE(measured, cellHeight) << size;
            EXPECT_GE(measured, cellHeight - 2) << size;
        }
    }
}

TEST(TableFonts, FitLeavesFivePixelsClearOnEachSide)
{
    CellFontFitter fitter;
    const QString text = QStringLiteral("0:12:345");
    const QFontMetrics &largest = fitter.metrics(kLargestValueSize, false);
    const int width = largest.horizontalAdvance(text) + 10;
    const int height = largest.height() + 10;
    EXPECT_EQ(fitter.fitCellFont(text, width, height, 4), 700);
    EXPECT_EQ(fitter.fitCellFont(text, width - 1, height, 4), 665);
    EXPECT_EQ(fitter.fitCellFont(text, width, height - 1, 4), 665);
}

TEST(TableFonts, PlaceAndLapColumnsAreMeasuredBold)
{
    CellFontFitter fitter;
    const QString text = QStringLiteral("GO");
    const int width = fitter.metrics(kLargestValueSize, false).horizontalAdvance(text) + 10;
    ASSERT_GT(fitter.metrics(kLargestValueSize, true).horizontalAdvance(text) + 10, width);
    EXPECT_EQ(fitter.fitCellFont(text, width, 200, 4), 700);
    EXPECT_LT(fitter.fitCellFont(text, width, 200, 3), 700);
    EXPECT_LT(fitter.fitCellFont(text, width, 200, 1), 700);
}

TEST(TableFonts, SmallestSizeIsThreePixelsAndBelowThatNothingFits)
{
    CellFontFitter fitter;
    const int smallest = fitter.metrics(kValueSizeStep, false).height();
    ASSERT_LE(smallest, 3);
    EXPECT_EQ(fitter.fitCellFont(QStringLiteral("a"), 100, smallest + 10, 2), 35);
    EXPECT_EQ(fitter.fitCellFont(QStringLiteral("a"), 100, smallest + 9, 2), 0);
    EXPECT_EQ(fitter.fitCellFont(QString(400, QLatin1Char('W')), 192, 111, 2), 0);
}
