#include "display/racerlogos.h"

#include "display/colourscheme.h"
#include "display/qtgeometry.h"
#include "support/badinput_files.h"
#include "tablefixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr Rgb kLogoColour{200, 30, 40};
const std::string kUnreadable = "chyba při otevírání souboru";

class RacerLogosTest : public ::testing::Test {
protected:
    std::string logoFile(const QString &name, int width, int height)
    {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(savePicture(path, {width, height}, kLogoColour));
        return path.toStdString();
    }

    RaceSettings settings_ = tableSettings({.racers = 3});
    Race race_{settings_};
    RacerLogos logos_;
    QTemporaryDir dir_;
};

struct LogoCase {
    std::string file;
    std::string note;
    Rect cell{0, 0, 192, 120};
};

// Each case's file goes to a seat of its own: none gives a logo, and each
// name keeps its cell.
void expectNoLogos(const std::vector<LogoCase> &cases)
{
    RaceSettings settings = tableSettings({.racers = 8});
    Race race(settings);
    for (std::size_t seat = 0; seat < cases.size(); ++seat) {
        settings.racerLogo[seat] = cases[seat].file;
        race.racers[seat].logoRect = cases[seat].cell;
    }
    RacerLogos logos;
    logos.load(settings, race);
    for (std::size_t seat = 0; seat < cases.size(); ++seat) {
        SCOPED_TRACE(cases[seat].file);
        EXPECT_EQ(race.racers[seat].logoStatusText, cases[seat].note);
        EXPECT_TRUE(logos.logo(int(seat)).isNull());
        EXPECT_EQ(race.racers[seat].logoRect, cases[seat].cell);
    }
}

} // namespace

TEST_F(RacerLogosTest, LogoOf150x100FitsACellTwoPixelsLargerAndIsCentred)
{
    settings_.racerLogo[0] = logoFile("fits.bmp", 150, 100);
    race_.racers[0].logoRect = {10, 20, 162, 122};
    logos_.load(settings_, race_);
    EXPECT_EQ(race_.racers[0].logoStatusText, "");
    EXPECT_EQ(race_.racers[0].logoRect, (Rect{11, 21, 161, 121}));
    EXPECT_EQ(logos_.logo(0).size(), QSize(150, 100));
}

// On a tall screen the logo grows with the table; the file still keeps to
// 150 x 100 px, and the grown logo must fit the cell.
TEST_F(RacerLogosTest, GrownLogoIsCentredAndMustFitItsCell)
{
    settings_.racerLogo[0] = logoFile("fits.bmp", 150, 100);
    settings_.racerLogo[1] = logoFile("wide.bmp", 151, 50);
    settings_.racerLogo[2] = settings_.racerLogo[0];
    race_.racers[0].logoRect = {0, 0, 400, 240};
    race_.racers[1].logoRect = {0, 0, 400, 240};
    race_.racers[2].logoRect = {0, 0, 301, 240}; // a pixel short of the grown logo's clearance
    logos_.setSizeScale(2.0);
    logos_.load(settings_, race_);
    EXPECT_EQ(race_.racers[0].logoStatusText, "");
    EXPECT_EQ(race_.racers[0].logoRect, (Rect{50, 20, 350, 220}));
    EXPECT_EQ(logos_.logo(0).size(), QSize(150, 100)) << "the picture itself is kept as read";
    EXPECT_EQ(race_.racers[1].logoStatusText, "!velikost: 151x50px");
    EXPECT_EQ(race_.racers[2].logoStatusText, "!velikost: 150x100px");
}

// Logos refused for their size are missing too.
TEST_F(RacerLogosTest, MissingLogosSayWhy)
{
    ASSERT_TRUE(badinput::writeFile(dir_.filePath("broken.bmp"), "BM not really a bitmap"));
    expectNoLogos({
        {"", "logo není nastaveno"},
        {dir_.filePath("nowhere.bmp").toStdString(), kUnreadable},
        {dir_.filePath("broken.bmp").toStdString(), kUnreadable},
        {logoFile("wide.bmp", 151, 100), "!velikost: 151x100px"},
        {logoFile("tall.bmp", 150, 101), "!velikost: 150x101px"},
        {logoFile("fits.bmp", 150, 100), "!velikost: 150x100px", {0, 0, 151, 120}}, // cell a pixel too narrow
        {logoFile("fits.bmp", 150, 100), "!velikost: 150x100px", {0, 0, 192, 101}}, // and too low
    });
}

TEST_F(RacerLogosTest, FirstTickLoadsOnceThenPhasesAlternate)
{
    const std::string path = logoFile("logo.bmp", 60, 40);
    settings_.racerLogo[0] = path;
    race_.racers[0].logoRect = {0, 0, 192, 120};

    logos_.logoTick(settings_, race_);
    EXPECT_EQ(race_.state.logoPhase, 1);
    EXPECT_EQ(race_.state.refreshColumn, 2);
    EXPECT_EQ(race_.racers[0].logoStatusText, "");

    QFile::remove(QString::fromStdString(path)); // later changes of the file are not seen
    race_.state.refreshColumn = kNoRow;
    logos_.logoTick(settings_, race_);
    EXPECT_EQ(race_.state.logoPhase, 2);
    EXPECT_EQ(race_.state.refreshColumn, 2);
    EXPECT_FALSE(logos_.logo(0).isNull());
    logos_.logoTick(settings_, race_);
    EXPECT_EQ(race_.state.logoPhase, 1);
}

// A logo whose header declared more pixels than Qt allocates used to be
// decoded only to fail, reported as unreadable; one just within that limit
// was decoded whole on the window's thread before its size refused it. The
// header's size now refuses both unread. A named pipe used to hold the window.
// Logos are bitmaps: a PNG from a hand-edited file, which the table used to
// show, is refused as the racers dialog refuses it, whatever its name.
TEST(RacerLogosBadInput, EveryBadFileGetsItsNoteAndNoLogo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(savePicture(dir.filePath("logo.png"), {60, 40}, kLogoColour));
    ASSERT_TRUE(QFile::copy(dir.filePath("logo.png"), dir.filePath("png.bmp")));
    ASSERT_TRUE(badinput::writeFile(dir.filePath("text.bmp"), "Tohle není obrázek.\r\n"));
    ASSERT_TRUE(badinput::writeBitmapDeclaring(dir.filePath("velky.bmp"), 16000, 16000));
    ASSERT_TRUE(badinput::writeBitmapDeclaring(dir.filePath("obri.bmp"), 100000, 100000));
    ASSERT_TRUE(QDir(dir.path()).mkdir("slozka.bmp"));
    badinput::UnattendedPipe pipe(dir.filePath("roura.bmp"));
    ASSERT_TRUE(pipe.created());

    const auto path = [&](const char *name) { return dir.filePath(name).toStdString(); };
    expectNoLogos({
        {path("text.bmp"), kUnreadable},
        {path("velky.bmp"), "!velikost: 16000x16000px"},
        {path("obri.bmp"), kUnreadable}, // beyond what Qt's bitmap reader takes for a header
        {path("slozka.bmp"), kUnreadable},
        {path("chybi.bmp"), kUnreadable},
        {path("roura.bmp"), kUnreadable},
        {path("logo.png"), kUnreadable},
        {path("png.bmp"), kUnreadable},
    });
    EXPECT_FALSE(pipe.wasWaitedOn()) << "the pipe held the window";
}

// Qt's bitmap reader keeps the rows it could read; the rest of the picture is
// whatever its memory held.
TEST(RacerLogosBadInput, BitmapCutShortIsShownAsFarAsItGoes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(badinput::writeTruncatedBitmap(dir.filePath("pulka.bmp")));
    RaceSettings settings = tableSettings({.racers = 1});
    settings.racerLogo[0] = dir.filePath("pulka.bmp").toStdString();
    Race race(settings);
    race.racers[0].logoRect = {0, 0, 192, 120};
    RacerLogos logos;
    logos.load(settings, race);
    EXPECT_EQ(race.racers[0].logoStatusText, "");
    EXPECT_EQ(logos.logo(0).size(), QSize(60, 40));
}

TEST(NameColumn, RefreshesAlternateNameAndLogo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(savePicture(dir.filePath("logo.bmp"), {60, 40}, kLogoColour));
    TableFixture table({.racers = 2});
    table.settings.racerLogo[0] = dir.filePath("logo.bmp").toStdString();
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed); // records the name cells
    const Rect cell = table.cell(2, 0);
    ASSERT_EQ(table.race.racers[0].logoRect, cell);

    auto tick = [&] {
        table.logos.logoTick(table.settings, table.race);
        EXPECT_EQ(table.paint().outcome, PaintOutcome::Completed);
    };
    tick(); // phase 1: name
    EXPECT_FALSE(table.contains(inside(cell), kLogoColour));
    tick(); // phase 2: logo
    EXPECT_TRUE(table.filledWith(toQRect(table.race.racers[0].logoRect), kLogoColour));
    EXPECT_NE(table.race.racers[0].logoRect, cell) << "centred on the logo";

    table.race.racers[0].lapsText = "3";
    table.race.state.repaintRow = 0;
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    EXPECT_TRUE(table.filledWith(toQRect(table.race.racers[0].logoRect), kLogoColour)) << "logo stays over a row repaint";

    tick(); // phase 1 again: the name is back
    EXPECT_FALSE(table.contains(inside(cell), kLogoColour));
    EXPECT_TRUE(table.contains(inside(cell), colourScheme(0).text));
}

TEST(NameColumn, SeatWithoutLogoShowsItsNoteUnderTheName)
{
    TableFixture table({.racers = 2});
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    table.logos.logoTick(table.settings, table.race); // no logos set
    table.mark();
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);

    const Rect cell = table.cell(2, 1);
    const QRect band(cell.left + 1, cell.bottom - 30, cell.width() - 2, 29);
    EXPECT_FALSE(table.filledWith(band, kMarker)) << "the note is drawn";
    EXPECT_EQ(table.at(cell.left + 2, cell.top + 2), kMarker) << "over the cell as it was";

    // The next refreshes leave the noted cell alone.
    table.mark();
    table.race.state.refreshColumn = 2;
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    EXPECT_TRUE(table.filledWith(toQRect(cell), kMarker));

    // A full repaint draws name and note again; an unused seat has none.
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    EXPECT_FALSE(table.filledWith(band, kWhite));
    const Rect unused = table.cell(2, 2);
    EXPECT_TRUE(table.filledWith(QRect(unused.left + 1, unused.bottom - 30, unused.width() - 2, 29), kWhite));
}
