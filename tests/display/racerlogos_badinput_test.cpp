// Logo files the race table must cope with at its first logo tick: no
// picture at all, headers declaring 16000 x 16000 and 100000 x 100000
// pixels, a folder, a missing file and a named pipe. Each seat gets its note
// and keeps showing its name; none of them holds the window. A bitmap cut
// short is shown as far as it goes.
#include "display/racerlogos.h"

#include "support/badinput_files.h"
#include "tablefixture.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct BadLogo {
    QString file;
    std::string note;
};

} // namespace

// A logo whose header declared more pixels than Qt allocates used to be
// decoded only to fail, reported as unreadable; one just within that limit
// was decoded whole on the window's thread before its size refused it. The
// header's size now refuses both unread.
TEST(RacerLogosBadInput, EveryBadFileGetsItsNoteAndNoLogo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(badinput::writeFile(dir.filePath("text.bmp"), "Tohle není obrázek.\r\n"));
    ASSERT_TRUE(badinput::writeBitmapDeclaring(dir.filePath("velky.bmp"), 16000, 16000));
    ASSERT_TRUE(badinput::writeBitmapDeclaring(dir.filePath("obri.bmp"), 100000, 100000));
    ASSERT_TRUE(QDir(dir.path()).mkdir("slozka.bmp"));
    badinput::UnattendedPipe pipe(dir.filePath("roura.bmp"));
    ASSERT_TRUE(pipe.created());

    const std::string unreadable = "chyba při otevírání souboru";
    const std::array<BadLogo, 6> logoFiles = {{
        {"text.bmp", unreadable},
        {"velky.bmp", "!velikost: 16000x16000px"},
        {"obri.bmp", unreadable}, // beyond what Qt's bitmap reader takes for a header
        {"slozka.bmp", unreadable},
        {"chybi.bmp", unreadable},
        {"roura.bmp", unreadable},
    }};
    RaceSettings settings = tableSettings({.racers = 6});
    for (std::size_t seat = 0; seat < logoFiles.size(); ++seat)
        settings.racerLogo[seat] = dir.filePath(logoFiles[seat].file).toStdString();
    Race race(settings);
    for (RacerState &racer : race.racers)
        racer.logoRect = {0, 0, 192, 120};

    RacerLogos logos;
    logos.load(settings, race);
    EXPECT_FALSE(pipe.wasWaitedOn()) << "the pipe held the window";

    for (std::size_t seat = 0; seat < logoFiles.size(); ++seat) {
        const std::string file = logoFiles[seat].file.toStdString();
        EXPECT_EQ(race.racers[seat].logoStatusText, logoFiles[seat].note) << file;
        EXPECT_TRUE(logos.logo(static_cast<int>(seat)).isNull()) << file;
        EXPECT_EQ(race.racers[seat].logoRect, (Rect{0, 0, 192, 120})) << "the name keeps its cell: " << file;
    }
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
