#include "display/racerlogos.h"

#include "tablefixture.h"

#include "display/colourscheme.h"
#include "display/qtgeometry.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr Rgb kLogoColour{200, 30, 40};

class RacerLogosTest : public ::testing::Test {
protected:
    std::string logoFile(const QString &name, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(QColor(kLogoColour.red, kLogoColour.green, kLogoColour.blue));
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(image.save(path, "BMP"));
        return path.toStdString();
    }

    RaceSettings settings_ = tableSettings({.racers = 3});
    Race race_{settings_};
    RacerLogos logos_;
    QTemporaryDir dir_;
};

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

TEST_F(RacerLogosTest, OversizedLogosAreRefusedWithTheirSize)
{
    settings_.racerLogo[0] = logoFile("wide.bmp", 151, 100);
    race_.racers[0].logoRect = {0, 0, 192, 120};
    settings_.racerLogo[1] = logoFile("fits.bmp", 150, 100);
    race_.racers[1].logoRect = {0, 0, 151, 120}; // a cell one pixel too narrow for it
    logos_.load(settings_, race_);

    EXPECT_EQ(race_.racers[0].logoStatusText, "!velikost: 151x100px");
    EXPECT_EQ(race_.racers[1].logoStatusText, "!velikost: 150x100px");
    EXPECT_TRUE(logos_.logo(0).isNull());
    EXPECT_TRUE(logos_.logo(1).isNull());
    EXPECT_EQ(race_.racers[1].logoRect, (Rect{0, 0, 151, 120})) << "a refused logo keeps the cell";
}

TEST_F(RacerLogosTest, MissingLogosSayWhy)
{
    settings_.racerLogo[0] = "";
    settings_.racerLogo[1] = dir_.filePath("nowhere.bmp").toStdString();
    const QString broken = dir_.filePath("broken.bmp");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM not really a bitmap");
    file.close();
    settings_.racerLogo[2] = broken.toStdString();
    logos_.load(settings_, race_);

    EXPECT_EQ(race_.racers[0].logoStatusText, "logo není nastaveno");
    EXPECT_EQ(race_.racers[1].logoStatusText, "chyba při otevírání souboru");
    EXPECT_EQ(race_.racers[2].logoStatusText, "chyba při otevírání souboru");
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

TEST(NameColumn, RefreshesAlternateNameAndLogo)
{
    QTemporaryDir dir;
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(QColor(kLogoColour.red, kLogoColour.green, kLogoColour.blue));
    ASSERT_TRUE(image.save(dir.filePath("logo.bmp"), "BMP"));

    TableFixture table({.racers = 2});
    table.settings.racerLogo[0] = dir.filePath("logo.bmp").toStdString();
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed); // records the name cells
    const Rect cell = table.cell(2, 0);
    ASSERT_EQ(table.race.racers[0].logoRect, cell);

    auto tick = [&] {
        table.logos.logoTick(table.settings, table.race);
        EXPECT_EQ(table.paint().outcome, PaintOutcome::Completed);
    };
    const QRect area = toQRect(cell).adjusted(1, 1, -1, -1);
    tick(); // phase 1: name
    EXPECT_FALSE(table.contains(area, kLogoColour));
    tick(); // phase 2: logo
    EXPECT_TRUE(table.filledWith(toQRect(table.race.racers[0].logoRect), kLogoColour));
    EXPECT_NE(table.race.racers[0].logoRect, cell) << "centred on the logo";

    table.race.racers[0].lapsText = "3";
    table.race.state.repaintRow = 0;
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    EXPECT_TRUE(table.filledWith(toQRect(table.race.racers[0].logoRect), kLogoColour)) << "logo stays over a row repaint";

    tick(); // phase 1 again: the name is back
    EXPECT_FALSE(table.contains(area, kLogoColour));
    EXPECT_TRUE(table.contains(area, colourScheme(0).text));
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

    // A full repaint draws name and note again.
    ASSERT_EQ(table.paint().outcome, PaintOutcome::Completed);
    EXPECT_FALSE(table.filledWith(band, kWhite));
    const Rect withoutNote = table.cell(2, 2); // an unused seat
    EXPECT_TRUE(table.filledWith(QRect(withoutNote.left + 1, withoutNote.bottom - 30, withoutNote.width() - 2, 29),
                                 kWhite));
}
