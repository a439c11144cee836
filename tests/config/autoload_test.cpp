#include "config/settingstestsupport.h"

#include <gtest/gtest.h>

namespace {

const std::string kStoredFile = "/home/eva/zavody/trat.ini";

class AutoLoad : public SettingsFlowTest {
protected:
    // Start-up with kStoredFile in the registry and on disk.
    void startUpWithStoredFile()
    {
        ui.registryPath = kStoredFile;
        ui.files[kStoredFile] = testData("factory.ini");
        flow.startUpAutoLoad();
    }

    void expectAutoLoad(bool on, const std::optional<std::string> &registryPath)
    {
        EXPECT_EQ(ui.autoLoadMenuText, on ? "ON" : "OFF");
        EXPECT_EQ(flow.flags().autoLoadEnabled, on);
        EXPECT_EQ(ui.registryPath, registryPath);
    }
};

} // namespace

TEST_F(AutoLoad, StartUpWithARegistryPathShowsItSwitchesOnAndLoads)
{
    startUpWithStoredFile();
    EXPECT_EQ(ui.statusTexts, std::vector<std::string>{kStoredFile});
    expectAutoLoad(true, kStoredFile);
    EXPECT_TRUE(flow.flags().askBeforeToggle);
    EXPECT_EQ(settings.racerName[0], "Závodník 1");
    EXPECT_EQ(ui.menuMarks, (std::array<bool, 6>{true, true, true, true, true, true}));
}

TEST_F(AutoLoad, StartUpWithoutARegistryPathDoesNothing)
{
    flow.startUpAutoLoad();
    EXPECT_TRUE(ui.statusTexts.empty());
    expectAutoLoad(false, std::nullopt);
    EXPECT_EQ(ui.menuMarks, FakeSettingsUi::marksOf(RaceSettings{}));
}

TEST(AutoLoadStartUp, StatusLineShortensPathsOverFiftyFiveCharacters)
{
    const auto statusAfterStartUp = [](const std::string &path) {
        RaceSettings settings;
        FakeSettingsUi ui;
        ui.registryPath = path;
        ui.files[path] = testData("factory.ini");
        SettingsFlow(settings, ui).startUpAutoLoad();
        return ui.statusTexts;
    };
    // Counted in characters, not bytes: "ř", "č" and "á" take two bytes each.
    const std::string fiftyFive = "/home/řidič/závody/" + std::string(30, 'x') + "/a.ini";
    const std::string fiftySix = "/home/řidič/závody/" + std::string(31, 'x') + "/a.ini";
    EXPECT_EQ(statusAfterStartUp(fiftyFive), std::vector<std::string>{fiftyFive});
    EXPECT_EQ(statusAfterStartUp(fiftySix),
              std::vector<std::string>{"... home/řidič/závody/" + std::string(31, 'x') + "/a.ini"});
}

TEST_F(AutoLoad, StartUpWithTheFileGoneReportsItAndStaysOn)
{
    ui.registryPath = kStoredFile;
    ui.expectMessage(expected::iniFileError);
    flow.startUpAutoLoad();
    expectAutoLoad(true, kStoredFile);
    EXPECT_FALSE(settings.settingsComplete());
}

TEST_F(AutoLoad, AnsweringNoChangesNothingNotEvenTheStatusLine)
{
    startUpWithStoredFile();
    ui.expectMessage(expected::switchOffQuestion, MessageAnswer::No);
    flow.toggleAutoLoad();
    expectAutoLoad(true, kStoredFile);
    EXPECT_EQ(ui.statusTexts.size(), 1u);
}

TEST_F(AutoLoad, SwitchingOffDeletesOnlyTheRegistryValueAndOnAgainStoresTheSamePath)
{
    startUpWithStoredFile();
    ui.expectMessage(expected::switchOffQuestion, MessageAnswer::Yes);
    flow.toggleAutoLoad();
    expectAutoLoad(false, std::nullopt);
    EXPECT_EQ(ui.statusTexts.back(), "Konfigurační data byla smazána z registru.");
    EXPECT_EQ(flow.flags().iniFilePath, kStoredFile);
    EXPECT_TRUE(settings.settingsComplete());

    ui.expectMessage(expected::switchOnQuestion, MessageAnswer::Yes);
    flow.toggleAutoLoad();
    expectAutoLoad(true, kStoredFile);
    EXPECT_EQ(ui.statusTexts.back(), "Data byla úspěšně nahrána.");
}

TEST_F(AutoLoad, LoadThroughTheMenuSwitchesOnWithoutAQuestion)
{
    load("/home/eva/trat.ini", testData("factory.ini"));
    expectAutoLoad(true, "/home/eva/trat.ini");
    EXPECT_EQ(ui.statusTexts, std::vector<std::string>{"Data byla úspěšně nahrána."});
}

TEST_F(AutoLoad, SwitchingOnWithoutAPathIsRefused)
{
    applyFactorySettings(settings);
    ui.expectMessage(expected::switchOnQuestion, MessageAnswer::Yes);
    ui.expectMessage(expected::noIniPathError);
    flow.toggleAutoLoad();
    expectAutoLoad(false, std::nullopt);
    EXPECT_TRUE(flow.flags().askBeforeToggle);
}

TEST_F(AutoLoad, SwitchingOnWithIncompleteSettingsCancelledChangesNothing)
{
    ui.expectMessage(expected::switchOnQuestion, MessageAnswer::Yes);
    ui.expectIncompleteSettings(IncompleteSettingsChoice::Cancel);
    ui.expectMessage(expected::abortWarning);
    flow.toggleAutoLoad();
    expectAutoLoad(false, std::nullopt);
    EXPECT_TRUE(ui.statusTexts.empty());
}

TEST_F(AutoLoad, ToggleWhoseCheckLoadedAFileEndsSwitchedOnWithThatFile)
{
    ui.files["/home/eva/trat.ini"] = testData("factory.ini");
    ui.expectMessage(expected::switchOnQuestion, MessageAnswer::Yes);
    ui.expectIncompleteSettings(IncompleteSettingsChoice::LoadFile);
    ui.expectFileToOpen(FileKind::Ini, "/home/eva/trat.ini");
    flow.toggleAutoLoad();
    expectAutoLoad(true, "/home/eva/trat.ini");
}

TEST_F(AutoLoad, ToggleWhoseWizardSavedAFileEndsSwitchedOnWithThatFile)
{
    ui.expectMessage(expected::switchOnQuestion, MessageAnswer::Yes);
    ui.expectIncompleteSettings(IncompleteSettingsChoice::Wizard);
    expectWizard(ui);
    ui.expectMessage(expected::wizardSaveQuestion, MessageAnswer::Yes);
    ui.expectFileToSave(FileKind::Ini, "/home/eva/nove.ini");
    flow.toggleAutoLoad();
    expectAutoLoad(true, "/home/eva/nove.ini");
    EXPECT_FALSE(flow.flags().forceAutoLoadOn);
}
