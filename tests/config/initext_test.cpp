#include "config/initext.h"

#include "config/settingstestsupport.h"
#include "platform/codec.h"

#include <gtest/gtest.h>

namespace {

// Builds file bytes from UTF-8 lines, each ended with CR LF.
std::string iniLines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return *utf8ToCp1250(text);
}

RaceSettings factorySettings()
{
    RaceSettings settings;
    applyFactorySettings(settings);
    return settings;
}

} // namespace

TEST(IniText, FactorySettingsWriteTheReferenceFile)
{
    const std::optional<std::string> text = iniFileText(factorySettings());
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, testData("factory.ini"));
}

TEST(IniText, ReferenceFileReadsAsFactorySettingsAndMarksAllGroups)
{
    RaceSettings settings;
    EXPECT_EQ(readIniText(testData("factory.ini"), settings), std::nullopt);
    const RaceSettings factory = factorySettings();
    for (int i = 0; i < kSettingCount; ++i)
        EXPECT_EQ(settings.at(i), factory.at(i)) << settingKey(i);
    EXPECT_TRUE(settings.settingsComplete());
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
    saved.colourScheme = "1";

    const std::optional<std::string> text = iniFileText(saved);
    ASSERT_TRUE(text.has_value());
    RaceSettings loaded;
    EXPECT_EQ(readIniText(*text, loaded), std::nullopt);
    for (int i = 0; i < kSettingCount; ++i)
        EXPECT_EQ(loaded.at(i), saved.at(i)) << settingKey(i);
}

TEST(IniText, KeyFoundInsideAnEarlierLineOnlyWhenNoLineStartsWithIt)
{
    // No "Parita" line: the key is taken from inside the logo path, and the one
    // character after it (".") is skipped.
    std::string text = testData("factory.ini");
    text.replace(text.find("Logo1="), 6, "Logo1=C:\\Parita.bmp");
    text.erase(text.find("Parita=NOPARITY\r\n"), 17);
    RaceSettings settings;
    EXPECT_EQ(readIniText(text, settings), std::nullopt);
    EXPECT_EQ(settings.parity, "bmp");
    EXPECT_EQ(settings.racerLogo[0], "C:\\Parita.bmp");
}

TEST(IniText, SpacesAroundTheEqualsSignGiveAValueThatReadsZero)
{
    std::string text = testData("factory.ini");
    text.replace(0, 10, "Meritko = 32");
    RaceSettings settings;
    EXPECT_EQ(readIniText(text, settings), std::nullopt);
    EXPECT_EQ(settings.scale, "= 32");
    EXPECT_EQ(settingToInt(settings.scale), 0);
}

TEST(IniText, LastLineWithoutLineEndGivesAnEmptyValue)
{
    std::string text = testData("factory.ini");
    text.replace(text.find("BarevneSchema=0\r\n"), 17, "BarevneSchema=2");
    RaceSettings settings;
    settings.colourScheme = "1";
    EXPECT_EQ(readIniText(text, settings), std::nullopt);
    EXPECT_EQ(settings.colourScheme, "");
}

TEST(IniText, LinesInAnyOrderWithUnknownLinesAreAccepted)
{
    const std::string text = iniLines({
        "; hand-edited", "BarevneSchema=2", "UsporadaniZavodniku=4", "StopBity=TWOSTOPBITS", "PocetBitu=7",
        "Parita=EVENPARITY", "RychlostPrenosu=CBR_9600", "KomunikacniPort=COM4", "PocetKol=30", "Logo8=",
        "Zavodnik8=Hana", "Logo7=", "Zavodnik7=", "Logo6=", "Zavodnik6=", "Logo5=", "Zavodnik5=", "Logo4=",
        "Zavodnik4=", "Logo3=", "Zavodnik3=", "Logo2=", "Zavodnik2=", "Logo1=/home/eva/eva.bmp",
        "Zavodnik1=Eva", "[Neznama sekce]", "AutomatickePocitaniVyjetiZDrahy=1", "ZobrazeniZavodniku=0",
        "DelkaDrahy=42", "Meritko=24", "Barva=zelená",
    });
    RaceSettings settings;
    EXPECT_EQ(readIniText(text, settings), std::nullopt);
    EXPECT_EQ(settings.scale, "24");
    EXPECT_EQ(settings.trackLength, "42");
    EXPECT_EQ(settings.racerName[0], "Eva");
    EXPECT_EQ(settings.racerLogo[0], "/home/eva/eva.bmp");
    EXPECT_EQ(settings.racerName[7], "Hana");
    EXPECT_EQ(settings.lapsPerRide, "30");
    EXPECT_EQ(settings.parity, "EVENPARITY");
    EXPECT_EQ(settings.colourScheme, "2");
    EXPECT_TRUE(settings.settingsComplete());
}

TEST(IniText, MissingLastKeyReplacesTheOthersAndChangesNoMark)
{
    std::string text = testData("factory.ini");
    text.erase(text.find("BarevneSchema=0\r\n"));
    RaceSettings settings;
    settings.colourScheme = "2";
    settings.racerName[0] = "Eva";

    EXPECT_EQ(readIniText(text, settings), kColourSchemeIndex);
    EXPECT_EQ(settings.racerName[0], "Závodník 1");
    EXPECT_EQ(settings.racerArrangement, "0");
    EXPECT_EQ(settings.colourScheme, "2");
    EXPECT_EQ(FakeSettingsUi::marksOf(settings), FakeSettingsUi::marksOf(RaceSettings{}));
}

TEST(IniText, ZeroByteEndsTheText)
{
    std::string text = testData("factory.ini");
    text.insert(text.find("PocetKol="), 1, '\0');
    RaceSettings settings;
    settings.racerLogo[7] = "old.bmp";
    settings.lapsPerRide = "30";
    EXPECT_EQ(readIniText(text, settings), kLapsPerRideIndex);
    EXPECT_EQ(settings.racerLogo[7], "");
    EXPECT_EQ(settings.lapsPerRide, "30");
}

TEST(IniText, ValuesAreDecodedFromWindows1250)
{
    RaceSettings settings;
    EXPECT_EQ(readIniText(iniLines({"Zavodnik1=Říha Šťastný"}) + testData("factory.ini"), settings), std::nullopt);
    EXPECT_EQ(settings.racerName[0], "Říha Šťastný");
}

TEST(IniText, ValueTheCodePageCannotHoldIsNotWritten)
{
    RaceSettings settings = factorySettings();
    settings.racerName[1] = "Łukasz ✓";
    EXPECT_EQ(iniFileText(settings), std::nullopt);
}
