#include "support/settingstestsupport.h"

#include <gtest/gtest.h>

namespace {

const std::string kStoredFile = "/home/eva/zavody/trat.ini";

class AutoLoad : public SettingsFlowTest {
protected:
    void expectAutoLoad(bool on, const std::optional<std::string> &registryPath)
    {
        EXPECT_EQ(ui.autoLoadMenuText, on ? "ON" : "OFF");
        EXPECT_EQ(flow.flags().autoLoadEnabled, on);
        EXPECT_EQ(ui.registryPath, registryPath);
    }
};

} // namespace

// Start-up shows the stored path (its last 55 characters when longer, counted
// in characters, not bytes), switches automatic loading on without a question
// and loads the file; a file that is gone is reported, and loading stays on.
TEST(AutoLoadStartUp, ShowsTheStoredPathSwitchesOnAndLoadsTheFile)
{
    const std::string x30(30, 'x');
    // "ř", "č" and "á" take two bytes each.
    const std::string fiftyFive = "/home/řidič/závody/" + x30 + "/a.ini";
    const std::string fiftySix = "/home/řidič/závody/x" + x30 + "/a.ini";
    const struct {
        const char *what;
        std::optional<std::string> stored;
        bool fileThere;
        std::vector<std::string> status;
    } cases[] = {
        {"stored file", kStoredFile, true, {kStoredFile}},
        {"nothing stored", std::nullopt, false, {}},
        {"stored file gone", kStoredFile, false, {kStoredFile}},
        {"55 characters", fiftyFive, true, {fiftyFive}},
        {"56 characters", fiftySix, true, {"... home/řidič/závody/x" + x30 + "/a.ini"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        RaceSettings settings;
        FakeSettingsUi ui;
        SettingsFlow flow(settings, ui);
        ui.registryPath = c.stored;
        if (c.fileThere)
            ui.files[*c.stored] = testData("factory.ini");
        else if (c.stored)
            ui.expectMessage(expected::iniFileError);
        flow.startUpAutoLoad();
        EXPECT_EQ(ui.statusTexts, c.status);
        EXPECT_EQ(ui.autoLoadMenuText, c.stored ? "ON" : "OFF");
        EXPECT_EQ(flow.flags().autoLoadEnabled, c.stored.has_value());
        EXPECT_EQ(ui.registryPath, c.stored);
        EXPECT_TRUE(flow.flags().askBeforeToggle);
        EXPECT_EQ(settings.settingsComplete(), c.fileThere);
        EXPECT_EQ(ui.menuMarks, FakeSettingsUi::marksOf(settings));
    }
}

// No changes nothing, not even the status line; switching off deletes only
// the registry value, and on again stores the same path.
TEST_F(AutoLoad, SwitchingOffAndOnAgainAsksEachTime)
{
    ui.registryPath = kStoredFile;
    ui.files[kStoredFile] = testData("factory.ini");
    flow.startUpAutoLoad();
    ui.expectMessage(expected::switchOffQuestion, MessageAnswer::No);
    flow.toggleAutoLoad();
    expectAutoLoad(true, kStoredFile);
    EXPECT_EQ(ui.statusTexts.size(), 1u);

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
