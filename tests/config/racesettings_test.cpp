#include "config/racesettings.h"

#include <gtest/gtest.h>

TEST(RaceSettings, StartsEmptyWithOnlyAutomaticCountingMarked)
{
    RaceSettings settings;
    for (int i = 0; i < kSettingCount; ++i)
        EXPECT_EQ(settings.at(i), "") << settingKey(i);
    for (SettingGroup group : kSettingGroups)
        EXPECT_EQ(settings.isGroupDone(group), group == SettingGroup::AutoCounting) << static_cast<int>(group);
    EXPECT_FALSE(settings.settingsComplete());
    EXPECT_EQ(settings.activeRacerCount(), 0);

    applyFactorySettings(settings);
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
    EXPECT_EQ(settingKey(18), "Zavodnik8");
    EXPECT_THROW(settings.at(28), std::out_of_range);
    EXPECT_THROW(settings.at(-1), std::out_of_range);
}

// Numeric settings read as "%d" reads them, but saturate instead of overflowing.
TEST(SettingToInt, ReadsLikeDecimalScanf)
{
    const struct {
        const char *text;
        std::int32_t value;
    } cases[] = {
        {"", 0},
        {"12abc", 12},
        {"\t\n 42 7", 42},
        {"-3", -3},
        {"+4", 4},
        {"- 5", 0},
        {"abc", 0},
        {"= 32", 0},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"99999999999999999999999", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999999", -2147483647 - 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(settingToInt(c.text), c.value) << '"' << c.text << '"';
}
