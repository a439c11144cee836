#include "config/racesettings.h"

#include <gtest/gtest.h>

TEST(RaceSettings, StartsEmptyWithOnlyAutomaticCountingMarked)
{
    RaceSettings settings;
    for (int i = 0; i < kSettingCount; ++i)
        EXPECT_EQ(settings.at(i), "") << settingKey(i);
    EXPECT_TRUE(settings.isGroupDone(SettingGroup::AutoCounting));
    for (SettingGroup group : {SettingGroup::Track, SettingGroup::Display, SettingGroup::Racers, SettingGroup::Laps,
                               SettingGroup::Communication})
        EXPECT_FALSE(settings.isGroupDone(group)) << static_cast<int>(group);
    EXPECT_FALSE(settings.settingsComplete());
}

TEST(RaceSettings, FactorySettingsFillAllValuesAndMarkEveryGroup)
{
    RaceSettings settings;
    settings.racerName[5] = "left over";
    applyFactorySettings(settings);

    EXPECT_EQ(settings.scale, "32");
    EXPECT_EQ(settings.trackLength, "20");
    EXPECT_EQ(settings.displayOrder, "1");
    EXPECT_EQ(settings.autoOffTrackCounting, "0");
    EXPECT_EQ(settings.racerName[0], "Závodník 1");
    EXPECT_EQ(settings.racerName[1], "Závodník 2");
    for (int k = 2; k < kRacerCount; ++k)
        EXPECT_EQ(settings.racerName[k], "") << k;
    for (const std::string &logo : settings.racerLogo)
        EXPECT_EQ(logo, "");
    EXPECT_EQ(settings.lapsPerRide, "12");
    EXPECT_EQ(settings.commPort, "COM1");
    EXPECT_EQ(settings.baudRate, "CBR_57600");
    EXPECT_EQ(settings.parity, "NOPARITY");
    EXPECT_EQ(settings.dataBits, "8");
    EXPECT_EQ(settings.stopBits, "ONESTOPBIT");
    EXPECT_EQ(settings.racerArrangement, "0");
    EXPECT_EQ(settings.colourScheme, "0");
    EXPECT_TRUE(settings.settingsComplete());
    EXPECT_EQ(settings.activeRacerCount(), 2);
}

TEST(RaceSettings, IndexOrderInterleavesNamesAndLogos)
{
    RaceSettings settings;
    for (int i = 0; i < kSettingCount; ++i)
        settings.at(i) = std::to_string(i);
    EXPECT_EQ(settings.racerName[0], "4");
    EXPECT_EQ(settings.racerLogo[0], "5");
    EXPECT_EQ(settings.racerName[7], "18");
    EXPECT_EQ(settings.racerLogo[7], "19");
    EXPECT_EQ(settings.lapsPerRide, "20");
    EXPECT_EQ(settings.stopBits, "25");
    EXPECT_EQ(settings.colourScheme, "27");
    EXPECT_EQ(settingKey(0), "Meritko");
    EXPECT_EQ(settingKey(5), "Logo1");
    EXPECT_EQ(settingKey(18), "Zavodnik8");
    EXPECT_EQ(settingKey(27), "BarevneSchema");
    EXPECT_THROW(settings.at(28), std::out_of_range);
}

TEST(RaceSettings, UnmarkingTheRacersGroupMakesSettingsIncomplete)
{
    RaceSettings settings;
    applyFactorySettings(settings);
    settings.markGroup(SettingGroup::Racers, false);
    EXPECT_FALSE(settings.settingsComplete());
}

TEST(SettingToInt, ReadsLikeDecimalScanf)
{
    EXPECT_EQ(settingToInt(""), 0);
    EXPECT_EQ(settingToInt("12abc"), 12);
    EXPECT_EQ(settingToInt(" 7"), 7);
    EXPECT_EQ(settingToInt("-3"), -3);
    EXPECT_EQ(settingToInt("+4"), 4);
    EXPECT_EQ(settingToInt("abc"), 0);
    EXPECT_EQ(settingToInt("( )"), 0);
    EXPECT_EQ(settingToInt("GO"), 0);
    EXPECT_EQ(settingToInt("!"), 0);
    EXPECT_EQ(settingToInt("..."), 0);
    EXPECT_EQ(settingToInt("\t\n 42 7"), 42);
    EXPECT_EQ(settingToInt("- 5"), 0);
}

TEST(SettingToInt, SaturatesBeyondThe32BitRange)
{
    EXPECT_EQ(settingToInt("2147483647"), 2147483647);
    EXPECT_EQ(settingToInt("2147483648"), 2147483647);
    EXPECT_EQ(settingToInt("99999999999999999999999"), 2147483647);
    EXPECT_EQ(settingToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(settingToInt("-99999999999999"), -2147483647 - 1);
}

TEST(IntToSetting, WritesPlainDecimal)
{
    EXPECT_EQ(intToSetting(0), "0");
    EXPECT_EQ(intToSetting(-17), "-17");
    EXPECT_EQ(intToSetting(10000), "10000");
}
