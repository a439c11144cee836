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

// Sizes run from 700 down to 35 tenths of a pixel; the place and lap
// columns (1 and 3) are measured bold.
TEST(TableFonts, FitLeavesFivePixelsClearOnEachSide)
{
    CellFontFitter fitter;
    const QString time = QStringLiteral("0:12:345");
    const QFontMetrics &largest = fitter.metrics(kLargestValueSize, false);
    const int width = largest.horizontalAdvance(time) + 10;
    const int height = largest.height() + 10;
    EXPECT_EQ(fitter.fitCellFont(time, width, height, 4), 700);
    EXPECT_EQ(fitter.fitCellFont(time, width - 1, height, 4), 665);
    EXPECT_EQ(fitter.fitCellFont(time, width, height - 1, 4), 665);

    const QString go = QStringLiteral("GO");
    const int goWidth = largest.horizontalAdvance(go) + 10;
    ASSERT_GT(fitter.metrics(kLargestValueSize, true).horizontalAdvance(go) + 10, goWidth);
    EXPECT_EQ(fitter.fitCellFont(go, goWidth, 200, 4), 700);
    EXPECT_LT(fitter.fitCellFont(go, goWidth, 200, 3), 700);
    EXPECT_LT(fitter.fitCellFont(go, goWidth, 200, 1), 700);

    const int smallest = fitter.metrics(kValueSizeStep, false).height();
    ASSERT_LE(smallest, 3);
    EXPECT_EQ(fitter.fitCellFont(QStringLiteral("a"), 100, smallest + 10, 2), 35);
    EXPECT_EQ(fitter.fitCellFont(QStringLiteral("a"), 100, smallest + 9, 2), 0) << "nothing fits below that";
    EXPECT_EQ(fitter.fitCellFont(QString(400, QLatin1Char('W')), 192, 111, 2), 0);
}

// On a screen twice as tall the sizes tried are twice as large, largest and
// steps alike, and the fonts remembered at the old scale are not reused.
TEST(TableFonts, ScaledFitTriesGrownSizes)
{
    CellFontFitter fitter;
    const QString time = QStringLiteral("0:12:345");
    EXPECT_EQ(fitter.fitCellFont(time, 2000, 1000, 4), 700);
    fitter.setScale(2.0);
    EXPECT_EQ(fitter.fitCellFont(time, 2000, 1000, 4), 1400);
    const QFontMetrics &largest = fitter.metrics(1400, false);
    EXPECT_GT(largest.height(), 120);
    const int width = largest.horizontalAdvance(time) + 10;
    EXPECT_EQ(fitter.fitCellFont(time, width, 1000, 4), 1400);
    EXPECT_EQ(fitter.fitCellFont(time, width - 1, 1000, 4), 1330);
    EXPECT_LT(fitter.metrics(1330, false).height(), largest.height());
    fitter.setScale(1.0);
    EXPECT_EQ(fitter.metrics(700, false).height(), CellFontFitter().metrics(700, false).height());
}
