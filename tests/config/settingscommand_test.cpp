#include "support/settingstestsupport.h"

#include <gtest/gtest.h>

using SettingsCommand = SettingsFlowTest;

TEST_F(SettingsCommand, CancelledDialogKeepsValuesAndMarkButTheTrackGroupIsMarkedAnyway)
{
    settings.lapsPerRide = "12";
    ui.expectCancelledGroup(SettingGroup::Laps, OkButtonRole::Ok);
    flow.settingsCommand(SettingGroup::Laps);
    EXPECT_EQ(settings.lapsPerRide, "12");
    EXPECT_FALSE(settings.isGroupDone(SettingGroup::Laps));

    ui.expectCancelledGroup(SettingGroup::Track, OkButtonRole::Ok);
    flow.settingsCommand(SettingGroup::Track);
    EXPECT_TRUE(settings.isGroupDone(SettingGroup::Track));
    EXPECT_EQ(settings.trackLength, "");
    EXPECT_EQ(ui.menuMarks, FakeSettingsUi::marksOf(settings));
}

TEST_F(SettingsCommand, ConfirmedDialogTakesOnlyItsOwnGroupAndMarksIt)
{
    ui.expectConfirmedGroup(SettingGroup::Communication, OkButtonRole::Ok, [](RaceSettings &s) {
        s.commPort = "/dev/ttyUSB0";
        s.baudRate = "CBR_9600";
        s.lapsPerRide = "99"; // not this dialog's field
    });
    flow.settingsCommand(SettingGroup::Communication);
    EXPECT_EQ(settings.commPort, "/dev/ttyUSB0");
    EXPECT_EQ(settings.baudRate, "CBR_9600");
    EXPECT_EQ(settings.lapsPerRide, "");
    EXPECT_TRUE(settings.isGroupDone(SettingGroup::Communication));
    EXPECT_EQ(ui.menuMarks, FakeSettingsUi::marksOf(settings));
}

TEST_F(SettingsCommand, RacersConfirmedWithEmptyFirstNameLoseTheirMark)
{
    applyFactorySettings(settings);
    ui.expectConfirmedGroup(SettingGroup::Racers, OkButtonRole::Ok, [](RaceSettings &s) {
        s.racerName.fill("");
        s.racerLogo[0] = "/home/eva/eva.bmp";
    });
    flow.settingsCommand(SettingGroup::Racers);
    EXPECT_EQ(settings.racerName[1], "");
    EXPECT_EQ(settings.racerLogo[0], "/home/eva/eva.bmp");
    EXPECT_FALSE(settings.isGroupDone(SettingGroup::Racers));
    EXPECT_FALSE(ui.menuMarks[3]);
}

TEST_F(SettingsCommand, FactorySettingsReplaceValuesReportAndMarkEverything)
{
    settings.racerName[4] = "Hana";
    flow.factorySettingsCommand();
    EXPECT_EQ(settings.racerName[0], "Závodník 1");
    EXPECT_EQ(settings.racerName[4], "");
    EXPECT_EQ(ui.statusTexts, std::vector<std::string>{"Tovární nastavení bylo úspěšně nahráno."});
    EXPECT_EQ(ui.menuMarks, (std::array<bool, 6>{true, true, true, true, true, true}));
    EXPECT_EQ(ui.autoLoadMenuText, "OFF");
    EXPECT_EQ(ui.registryPath, std::nullopt);
}
