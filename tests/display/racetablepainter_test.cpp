#include "tablefixture.h"

#include "display/colourscheme.h"
#include "display/qtgeometry.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

const ColourScheme &kBlue = colourScheme(0);

} // namespace

TEST(TablePainter, ColumnEdgesAt1000And1280PixelsWide)
{
    struct Case {
        int width;
        std::array<int, kColumnCount> lefts;
    };
    const Case cases[] = {
        {1000, {0, 40, 80, 230, 310, 390, 480, 570, 690, 820, 920}},
        {1280, {0, 51, 102, 294, 396, 498, 613, 728, 881, 1047, 1175}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.width);
        TableFixture table({.racers = 8, .size = {c.width, 800}});
        ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
        const int y = 50 + 30; // inside the first row, clear of its text
        for (int column = 0; column < kColumnCount; ++column) {
            const int left = c.lefts[column];
            EXPECT_EQ(table.at(left, y), kBlue.border) << "left outline of column " << column;
            EXPECT_NE(table.at(left + 1, y), kBlue.border) << "inside column " << column;
            if (column > 0) {
                EXPECT_EQ(table.at(left - 1, y), kBlue.border) << "right outline of column " << column - 1;
            }
        }
        EXPECT_EQ(table.at(c.width - 1, y), kBlue.border) << "the last column reaches the edge";
        EXPECT_EQ(table.at(c.width - 2, y), kWhite);
    }
}

// 850 px: rows of (850 - 50) / 8 = 100 px, or of 800 / 3 = 266 px stretched.
TEST(TablePainter, ThreeRacersIn850PixelsFollowTheirArrangement)
{
    struct Case {
        int arrangement;
        int tableTop;
        std::array<int, 6> edges; ///< top and bottom outline of each row
        int gapTop;               ///< white gap, then stripes to the bottom; 0: none
    };
    const Case cases[] = {
        {3, 500, {550, 649, 650, 749, 750, 849}, 0},   // bottom
        {1, 250, {300, 399, 400, 499, 500, 599}, 600}, // centred
        {4, 0, {50, 315, 316, 581, 582, 849}, 0},      // stretched: no stripes at all
    };
    const int x = 41 + 3; // inside the place column at 1000 px, clear of its text
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arrangement);
        TableFixture table({.racers = 3, .arrangement = c.arrangement, .size = {1000, 850}});
        ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
        auto stripesOn = [&](int from, int to) {
            for (int y = from; y < to; ++y)
                if (table.at(500, y) != stripeColour(kBlue, y) || table.at(0, y) != stripeColour(kBlue, y))
                    return false;
            return true;
        };
        EXPECT_TRUE(stripesOn(0, c.tableTop));
        EXPECT_EQ(table.at(x, c.tableTop), kWhite) << "header band";
        EXPECT_EQ(table.at(x, c.tableTop + kHeaderHeight - 1), kWhite);
        for (int edge : c.edges)
            EXPECT_EQ(table.at(x, edge), kBlue.border) << edge;
        EXPECT_EQ(table.at(x, c.edges.front() + 1), kBlue.fillA);
        EXPECT_EQ(table.at(x, c.edges.back() - 1), kBlue.fillA);
        if (c.gapTop != 0) {
            EXPECT_TRUE(table.filledWith(QRect(0, c.gapTop, 1000, 10), kWhite)) << "white gap under the rows";
            EXPECT_TRUE(stripesOn(c.gapTop + 10, 850));
        }
    }
}

// A scheme other than 0 to 2 comes only from a hand-edited file and paints in blue.
TEST(TablePainter, SchemeColoursCellsOutlinesTextAndStripes)
{
    const ColourScheme blue{{80, 197, 254}, {143, 220, 252}, {200, 238, 255}, {34, 42, 128}};
    const ColourScheme red{{250, 133, 151}, {252, 186, 196}, {254, 222, 227}, {153, 62, 49}};
    for (const auto &[scheme, colours] : {std::pair{0, blue}, {1, red}, {7, blue}, {-1, blue}}) {
        SCOPED_TRACE(scheme);
        TableFixture table({.racers = 2, .arrangement = 3, .scheme = scheme}); // at the bottom, stripes above
        table.race.racers[0].rankText = "1";
        table.race.racers[0].lastLapTimeText = "0:12:345";
        ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);

        const Rect rank = table.cell(1, 0);
        const Rect lastLap = table.cell(4, 0);
        EXPECT_EQ(table.at(rank.left, rank.top), colours.border);
        EXPECT_EQ(table.at(rank.left + 2, rank.top + 2), colours.fillA);
        EXPECT_EQ(table.at(lastLap.left + 2, lastLap.top + 2), colours.fillB);
        EXPECT_EQ(table.at(table.cell(2, 0).left + 2, rank.top + 2), kWhite) << "name column";
        EXPECT_TRUE(table.contains(inside(rank), colours.text)) << "place text";
        EXPECT_TRUE(table.contains(inside(lastLap), colours.text)) << "time text";
        EXPECT_EQ(table.at(lastLap.left + 2, lastLap.bottom - 31), colours.border) << "unit band line";
        EXPECT_EQ(table.at(lastLap.left + 2, lastLap.bottom - 30), colours.fillB);
        EXPECT_EQ(table.at(10, 0), colours.border) << "stripes start from the top line";
        EXPECT_EQ(table.at(10, 1), stripeColour(colours, 1));
        EXPECT_EQ(table.at(10, 2), colours.border);
    }
}

TEST(TablePainter, RowRepaintTouchesItsRowAndChangedPlacesOnly)
{
    TableFixture table({.racers = 4, .arrangement = 1}); // centred: stripes above and below
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    table.race.racers[1].lapsText = "1";
    table.race.racers[2].rankText = "2"; // place of another seat changed
    table.race.state.repaintRow = 1;
    table.race.state.queuedRepaintRow = 3;
    table.mark();
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);

    const int width = table.image.width();
    const int top = table.rows.tableTop;
    const int bottom = table.rows.rowBottom(3);
    EXPECT_TRUE(table.filledWith(QRect(0, 0, width, top + kHeaderHeight), kMarker)) << "upper stripes and header";
    EXPECT_TRUE(table.filledWith(QRect(0, table.rows.rowTop(0), width, table.rows.rowHeight), kMarker)) << "row 0";
    EXPECT_TRUE(table.filledWith(QRect(0, bottom, width, 1024 - bottom), kMarker)) << "white gap and lower stripes";
    for (int column = 0; column < kColumnCount; ++column)
        EXPECT_EQ(table.at(table.cell(column, 1).left, table.cell(column, 1).top), kBlue.border) << column;
    EXPECT_FALSE(table.contains(inside(table.cell(1, 2)), kMarker)) << "changed place redrawn";
    EXPECT_TRUE(table.filledWith(toQRect(table.cell(8, 2)), kMarker)) << "unchanged gap left alone";
    EXPECT_TRUE(table.filledWith(toQRect(table.cell(3, 2)), kMarker));

    EXPECT_EQ(table.race.state.repaintRow, 3) << "the queued row moves up";
    EXPECT_EQ(table.race.state.queuedRepaintRow, kNoRow);
}

TEST(TablePainter, ColumnRefreshRedrawsNameColumnAndStripesOnly)
{
    TableFixture table({.racers = 3, .arrangement = 2, .size = {1000, 850}});
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    table.race.state.logoPhase = 1;
    table.race.state.refreshColumn = 2;
    table.mark();
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);

    const Rect name = table.cell(2, 0);
    EXPECT_FALSE(table.contains(inside(name), kMarker));
    EXPECT_TRUE(table.filledWith(toQRect(table.cell(1, 0)), kMarker));
    EXPECT_TRUE(table.filledWith(toQRect(table.cell(3, 2)), kMarker));
    EXPECT_TRUE(table.filledWith(QRect(0, 0, name.left, kHeaderHeight), kMarker)) << "other headers";
    EXPECT_FALSE(table.filledWith(QRect(name.left, 0, name.width(), kHeaderHeight), kMarker)) << "own header";
    const int tableBottom = 350; // three rows of 100 px under the header
    EXPECT_EQ(table.painter.tableBottom(), tableBottom);
    EXPECT_TRUE(table.filledWith(QRect(0, tableBottom, 1000, 10), kMarker)) << "white gap not refilled";
    EXPECT_EQ(table.at(0, tableBottom + 10), stripeColour(kBlue, tableBottom + 10));
    EXPECT_EQ(table.at(999, 849), stripeColour(kBlue, 849));
    EXPECT_EQ(table.race.state.refreshColumn, kNoRow);
}

// The name column is refreshed every second; its title used to be drawn
// again over itself each time and thickened into a smear.
TEST(TablePainter, RepeatedColumnRefreshesKeepTheNameTitleUnchanged)
{
    TableFixture table({.racers = 3, .arrangement = 0, .size = {1000, 850}});
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    const Rect name = table.cell(2, 0);
    const QRect title(name.left, 0, name.width(), kHeaderHeight);
    const QImage firstTitle = table.image.copy(title);
    for (int refresh = 0; refresh < 5; ++refresh) {
        table.race.state.logoPhase = 1 + refresh % 2;
        table.race.state.refreshColumn = 2;
        ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    }
    EXPECT_EQ(table.image.copy(title), firstTitle);
}

TEST(TablePainter, UnusedSeatShowsOnlyItsOutlinedCells)
{
    PictureFolder pictures;
    pictures.add(116, {78, 60}, {10, 20, 30}); // the racing flag every seat starts with
    pictures.add(130, {52, 69}, {40, 50, 60}); // and its tank gauge
    TableFixture table({.racers = 3, .arrangement = 0, .pictureLocation = pictures.location()});
    const PaintResult result = table.paint();
    ASSERT_EQ(result.outcome, PaintOutcome::Completed);

    const int slot = 5;
    for (int column = 0; column < kColumnCount; ++column) {
        SCOPED_TRACE(column);
        const Rect cell = table.cell(column, slot);
        const Rgb fill = fillColour(kBlue, kColumnTable[column].fill);
        const int band = column >= 4 && column <= 8 ? 31 : 0; // unit band with its line
        EXPECT_EQ(table.at(cell.left, cell.top), kBlue.border);
        EXPECT_EQ(table.at(cell.right - 1, cell.bottom - 1), kBlue.border);
        EXPECT_TRUE(table.filledWith(inside(cell).adjusted(0, 0, 0, -band), fill));
        if (band != 0) {
            EXPECT_TRUE(table.filledWith(QRect(cell.left, cell.bottom - 31, cell.width(), 1), kBlue.border));
            EXPECT_TRUE(table.filledWith(QRect(cell.left + 1, cell.bottom - 30, cell.width() - 2, 29), fill))
                << "no unit label";
        }
    }
    EXPECT_TRUE(table.contains(toQRect(table.cell(10, 2)), {10, 20, 30})) << "a seat in use shows its flag";
    EXPECT_TRUE(result.actionCells[2].has_value());
    EXPECT_FALSE(result.actionCells[slot].has_value()) << "no buttons";
}

TEST(TablePainter, SpeedAbove2300IsShownAsImplausible)
{
    auto renderSpeed = [](const std::string &speed) {
        TableFixture table({.racers = 1});
        table.race.racers[0].lastLapSpeedText = speed;
        EXPECT_EQ(table.paint().outcome, PaintOutcome::Completed);
        return table.image.copy(toQRect(table.cell(5, 0)));
    };
    const QImage implausible = renderSpeed("- ?rychlost -");
    EXPECT_EQ(renderSpeed("2301"), implausible);
    EXPECT_NE(renderSpeed("2300"), implausible);
}

TEST(TablePainter, TankAndFlagPicturesFollowTheirCells)
{
    PictureFolder pictures;
    pictures.add(118, {78, 60}, {10, 20, 30});
    pictures.add(123, {52, 69}, {40, 50, 60});
    pictures.add(130, {52, 69}, {70, 80, 90});
    TableFixture table({.racers = 2, .pictureLocation = pictures.location()});
    table.race.racers[0].flagCode = "3";
    table.race.racers[0].tankText = "8";
    table.race.racers[1].flagCode = "8"; // no such mark
    table.race.racers[1].tankText = "1";
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);

    auto centre = [&](int column, int slot) {
        const Rect cell = table.cell(column, slot);
        return table.at(cell.left + cell.width() / 2, cell.top + cell.height() / 2);
    };
    EXPECT_EQ(centre(10, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(centre(9, 0), (Rgb{70, 80, 90}));
    EXPECT_EQ(centre(9, 1), (Rgb{40, 50, 60}));
    EXPECT_EQ(centre(10, 1), kWhite) << "a code without a picture draws nothing";

    const Rect flag = table.cell(10, 0);
    const QRect centred(flag.left + flag.width() / 2 - 39, flag.top + flag.height() / 2 - 30, 78, 60);
    EXPECT_TRUE(table.filledWith(centred, {10, 20, 30}));
    EXPECT_EQ(table.at(centred.left() - 1, centred.top()), kWhite);
    EXPECT_EQ(table.at(centred.right() + 1, centred.bottom()), kWhite);
}

// The tank picture's place is 52 x 70 px centred on its cell; a bitmap of
// another size keeps its top-left corner there instead of being centred.
TEST(TablePainter, TankPicturesOfOtherSizesStartAtTheTopLeftOfTheirPlace)
{
    PictureFolder pictures;
    pictures.add(131, {70, 70}, {70, 80, 90});
    pictures.add(132, {30, 30}, {40, 50, 60});
    TableFixture table({.racers = 2, .pictureLocation = pictures.location()});
    table.race.racers[0].tankText = "9";
    table.race.racers[1].tankText = "10";
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);

    const struct {
        int slot;
        QSize size;
        Rgb colour;
    } cases[] = {{0, {70, 70}, {70, 80, 90}}, {1, {30, 30}, {40, 50, 60}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.slot);
        const Rect cell = table.cell(9, c.slot);
        const QPoint corner(cell.left + cell.width() / 2 - 26, cell.top + cell.height() / 2 - 35);
        const QRect placed(corner, c.size);
        EXPECT_TRUE(table.filledWith(placed, c.colour));
        EXPECT_EQ(table.count(toQRect(cell), c.colour), c.size.width() * c.size.height()) << "nowhere else";
    }
}

TEST(TablePainter, TextThatFitsNoSizeStopsThePaintAndKeepsTheRequests)
{
    TableFixture table({.racers = 2});
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    table.race.racers[1].nameText = std::string(400, 'W');
    table.race.state.repaintRow = 1;
    table.race.state.refreshColumn = 2;
    table.race.state.logoPhase = 1;
    EXPECT_EQ(table.paint().outcome, PaintOutcome::TextDoesNotFit);
    EXPECT_EQ(table.race.state.repaintRow, 1);
    EXPECT_EQ(table.race.state.refreshColumn, 2);

    // The refresh never completed: the next paint is a full one, whatever it was asked for.
    table.race.racers[1].nameText = "Jezdec 2";
    table.race.state.repaintRow = kNoRow;
    table.mark();
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    EXPECT_FALSE(table.contains(table.image.rect(), kMarker));
}

TEST(TablePainter, LongNameShrinksToFitItsCell)
{
    TableFixture table({.racers = 2});
    table.race.racers[0].nameText = "Jo";
    table.race.racers[1].nameText = "Maximilián Ferdinand Hohenstein-Kolowrat";
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    auto inkHeight = [&](int slot) {
        const QRect area = inside(table.cell(2, slot));
        int top = area.bottom(), bottom = area.top();
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (table.at(x, y) != kWhite)
                    top = std::min(top, y), bottom = std::max(bottom, y);
        return bottom - top;
    };
    EXPECT_LT(inkHeight(1), inkHeight(0) / 2);
    EXPECT_GT(inkHeight(1), 0);
}

TEST(TablePainter, ScreenBelow1000x400IsRefusedUntouched)
{
    for (const QSize size : {QSize(999, 400), QSize(1000, 399)}) {
        TableFixture table({.size = size});
        EXPECT_EQ(table.paint().outcome, PaintOutcome::ResolutionTooSmall) << size.width() << "x" << size.height();
        EXPECT_TRUE(table.filledWith(table.image.rect(), kMarker));
    }
    TableFixture smallest({.size = {1000, 400}});
    EXPECT_EQ(smallest.paint().outcome, PaintOutcome::Completed);
}

TEST(TablePainter, BeforeTheRaceScreenOnlyBookkeeping)
{
    TableFixture table;
    table.race.state.slidePhase = 3;
    table.race.state.refreshColumn = 2;
    table.race.state.queuedRepaintRow = 1;
    EXPECT_EQ(table.paint().outcome, PaintOutcome::Completed);
    EXPECT_TRUE(table.filledWith(table.image.rect(), kMarker));
    EXPECT_EQ(table.race.state.refreshColumn, kNoRow);
    EXPECT_EQ(table.race.state.queuedRepaintRow, 1) << "rows wait for the race screen";
}

TEST(TablePainter, StretchedArrangementWithoutRacersShowsTheHeaderAlone)
{
    TableFixture table({.racers = 0, .arrangement = 4, .size = {1000, 850}});
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    EXPECT_TRUE(table.filledWith(QRect(0, kHeaderHeight, 1000, 10), kWhite));
    EXPECT_EQ(table.at(0, 60), stripeColour(kBlue, 60));
    EXPECT_EQ(table.at(0, 849), stripeColour(kBlue, 849));
    EXPECT_FALSE(table.contains(QRect(0, 0, 1000, kHeaderHeight), kBlue.border)) << "no cells";
}

namespace {

// Rows of the area holding a pixel other than \a background.
int inkHeight(const QImage &image, const QRect &area, Rgb background)
{
    int top = -1;
    int bottom = -1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (rgbAt(image, x, y) != background) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
    return top < 0 ? 0 : bottom - top + 1;
}

struct Measured {
    int header;
    int flag;
};

Measured measureTable(QSize size)
{
    TableFixture table({.racers = 8, .size = size, .scale = tableSizeScale(size.height()),
                        .pictureLocation = QStringLiteral(":/resources/")});
    EXPECT_EQ(table.paint().outcome, PaintOutcome::Completed);
    const Rect laps = table.cell(3, 0);
    const Rect flag = table.cell(10, 0);
    return {inkHeight(table.image, QRect(laps.left + 1, 0, laps.width() - 2, table.rows.headerHeight), kWhite),
            inkHeight(table.image, inside(flag), kWhite)};
}

} // namespace

// On a screen twice as tall everything of a fixed size is twice as tall, as
// the table's own artwork and fonts draw it.
TEST(TablePainter, HeaderTextsAndFlagsGrowWithTheScreenAbove1080Lines)
{
    const Measured full = measureTable({1920, 1080});
    const Measured uhd = measureTable({3840, 2160});
    ASSERT_GT(full.header, 10);
    ASSERT_GT(full.flag, 30);
    EXPECT_NEAR(double(uhd.header) / full.header, 2.0, 0.2);
    EXPECT_NEAR(double(uhd.flag) / full.flag, 2.0, 0.2);
    // At 1080 lines and below nothing grows: the same header at 1024 lines.
    EXPECT_EQ(measureTable({1280, 1024}).header, full.header);
}

TEST(TablePainter, UnitBandsAndPicturePlacesGrowWithTheScale)
{
    PictureFolder pictures;
    pictures.add(118, {78, 60}, {10, 20, 30});
    TableFixture table({.racers = 2, .size = {3840, 2160}, .scale = 2.0, .pictureLocation = pictures.location()});
    table.race.racers[0].flagCode = "3";
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);

    const Rect flag = table.cell(10, 0);
    const QRect centred(flag.left + flag.width() / 2 - 78, flag.top + flag.height() / 2 - 60, 156, 120);
    EXPECT_TRUE(table.filledWith(centred, {10, 20, 30}));
    EXPECT_EQ(table.at(centred.left() - 1, centred.top()), kWhite);
    EXPECT_EQ(table.at(centred.right() + 1, centred.bottom()), kWhite);

    // The unit band's line stands 60 px and its own pixel above the cell's bottom.
    const Rect lapTime = table.cell(4, 1);
    EXPECT_TRUE(table.filledWith(QRect(lapTime.left, lapTime.bottom - 61, lapTime.width(), 1), kBlue.border));
    EXPECT_NE(table.at(lapTime.left + 5, lapTime.bottom - 31), kBlue.border);
}

// Where a table pixel covers more than one device pixel the picture drawn
// for twice the pixels is used, never the plain one stretched; the plain one
// stays where it is drawn one to one.
TEST(TablePainter, PicturesForTwiceThePixelsServeGrownTables)
{
    PictureFolder pictures;
    pictures.add(118, {78, 60}, {10, 20, 30});
    ASSERT_TRUE(savePicture(pictures.dir.filePath(QStringLiteral("bitmap118@2x.png")), {156, 120}, {90, 80, 70}));
    auto flagColour = [&](QSize size, double scale, double deviceRatio) {
        TableFixture table({.racers = 1, .size = size, .scale = scale, .pictureLocation = pictures.location()});
        const Rect cell = table.cell(10, 0);
        QImage device(size * deviceRatio, QImage::Format_RGB32);
        device.setDevicePixelRatio(deviceRatio);
        table.race.racers[0].flagCode = "3";
        QPainter surface(&device);
        EXPECT_EQ(table.painter.paint(surface, size).outcome, PaintOutcome::Completed);
        surface.end();
        const QPoint centre = QPoint(cell.left + cell.width() / 2, cell.top + cell.height() / 2) * deviceRatio;
        return rgbAt(device, centre.x(), centre.y());
    };
    EXPECT_EQ(flagColour({1280, 1024}, 1.0, 1.0), (Rgb{10, 20, 30}));
    EXPECT_EQ(flagColour({3840, 2160}, 2.0, 1.0), (Rgb{90, 80, 70}));
    EXPECT_EQ(flagColour({1920, 1080}, 1.0, 2.0), (Rgb{90, 80, 70})) << "a desktop at 200 %";
}
