#include "config/initext.h"

#include "support/settingstestsupport.h"
#include "platform/codec.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

RaceSettings factorySettings()
{
    RaceSettings settings;
    applyFactorySettings(settings);
    return settings;
}

} // namespace

// The writer's byte-for-byte output is checked by IniFileFlow against the same file.
TEST(IniText, ReferenceFileReadsAsFactorySettingsInAnyLineOrderAndMarksAllGroups)
{
    const std::string factory = testData("factory.ini");
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = factory.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(factory.substr(at, end - at));
    std::string reversed = "; hand-edited\r\n[Neznama sekce]\r\n";
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        reversed += *line + "\r\nBarva=zelen\xE1\r\n";
    for (const auto &[order, file] : {std::pair{"file order", factory}, std::pair{"reversed", reversed}}) {
        SCOPED_TRACE(order);
        RaceSettings settings;
        EXPECT_EQ(readIniText(file, settings), std::nullopt);
        EXPECT_EQ(valuesOf(settings), valuesOf(factorySettings()));
        EXPECT_TRUE(settings.settingsComplete());
    }
}

TEST(IniText, SaveThenLoadKeepsEveryValueEvenWithKeyTextsInside)
{
    RaceSettings saved = factorySettings();
    saved.scale = "";
    saved.trackLength = " 20 m ";
    saved.racerName[0] = "Parita";
    saved.racerLogo[0] = "C:\\Loga\\Logo1\\Zavodnik2=Logo2.bmp";
    saved.racerName[1] = "Jan = \"Blesk\" Novák";
    saved.racerLogo[1] = "=";
    saved.racerName[2] = "Meritko";
    saved.racerName[3] = "Žluťoučký kůň";
    saved.racerLogo[7] = "BarevneSchema=2";
    saved.parity = "ODDPARITY";

    const std::optional<std::string> text = iniFileText(saved);
    ASSERT_TRUE(text.has_value());
    RaceSettings loaded;
    EXPECT_EQ(readIniText(*text, loaded), std::nullopt);
    EXPECT_EQ(valuesOf(loaded), valuesOf(saved));
}

// A value starts one character after its key, whatever that character is, and
// ends with its line; a key is looked for inside other lines only when no line
// starts with it.
TEST(IniText, HandEditedLinesReadAsTheFormatSays)
{
    std::string keyInALogoPath = factoryIni("Parita=NOPARITY\r\n", "");
    keyInALogoPath.replace(keyInALogoPath.find("Logo1="), 6, "Logo1=C:\\Parita.bmp");
    const struct {
        const char *what;
        std::string file;
        int index;
        const char *value;
    } cases[] = {
        {"spaces around the equals sign", factoryIni("Meritko=32", "Meritko = 32"), kScaleIndex, "= 32"},
        {"last line without line end", factoryIni("BarevneSchema=0\r\n", "BarevneSchema=2"), kColourSchemeIndex, ""},
        {"key only inside a logo path", keyInALogoPath, kParityIndex, "bmp"},
        {"logo path holding a key", keyInALogoPath, kFirstRacerNameIndex + 1, "C:\\Parita.bmp"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        RaceSettings settings;
        settings.colourScheme = "1";
        EXPECT_EQ(readIniText(c.file, settings), std::nullopt);
        EXPECT_EQ(settings.at(c.index), c.value);
    }
}

TEST(IniText, MissingLastKeyReplacesTheOthersAndChangesNoMark)
{
    RaceSettings settings;
    settings.colourScheme = "2";
    settings.racerName[0] = "Eva";
    EXPECT_EQ(readIniText(factoryIni("BarevneSchema=0\r\n", ""), settings), kColourSchemeIndex);
    EXPECT_EQ(settings.racerName[0], "Závodník 1");
    EXPECT_EQ(settings.racerArrangement, "0");
    EXPECT_EQ(settings.colourScheme, "2");
    EXPECT_EQ(FakeSettingsUi::marksOf(settings), FakeSettingsUi::marksOf(RaceSettings{}));
}

TEST(IniText, ZeroByteEndsTheText)
{
    RaceSettings settings;
    settings.racerLogo[7] = "old.bmp";
    settings.lapsPerRide = "30";
    EXPECT_EQ(readIniText(factoryIni("PocetKol=", std::string(1, '\0') + "PocetKol="), settings), kLapsPerRideIndex);
    EXPECT_EQ(settings.racerLogo[7], "");
    EXPECT_EQ(settings.lapsPerRide, "30");
}

TEST(IniText, ValuesAreDecodedFromWindows1250)
{
    RaceSettings settings;
    EXPECT_EQ(readIniText(*utf8ToCp1250("Zavodnik1=Říha Šťastný\r\n") + testData("factory.ini"), settings),
              std::nullopt);
    EXPECT_EQ(settings.racerName[0], "Říha Šťastný");
}
