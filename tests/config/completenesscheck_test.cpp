#include "config/settingsflow.h"

#include "config/settingstestsupport.h"

#include <gtest/gtest.h>

namespace {

using Choice = IncompleteSettingsChoice;

class CompletenessCheck : public ::testing::Test {
protected:
    RaceSettings settings;
    FakeSettingsUi ui;
    SettingsFlow flow{settings, ui};
};

} // namespace

TEST_F(CompletenessCheck, CompleteSettingsPassSilently)
{
    applyFactorySettings(settings);
    EXPECT_TRUE(flow.checkSettings());
    EXPECT_TRUE(flow.ensureCompleteSettings());
}

TEST_F(CompletenessCheck, CancelAbortsWithTheCallersWarning)
{
    // Esc in the dialog answers Cancel too.
    ui.expectIncompleteSettings(Choice::Cancel);
    ui.expectMessage(expected::abortWarning());
    EXPECT_FALSE(flow.ensureCompleteSettings());
    EXPECT_TRUE(flow.flags().setupAborted);
    EXPECT_FALSE(settings.settingsComplete());
}

TEST_F(CompletenessCheck, CancelledLoadShowsTheErrorAndTheDialogAgain)
{
    ui.expectIncompleteSettings(Choice::LoadFile);
    ui.expectFileToOpen(FileKind::Ini, std::nullopt);
    ui.expectMessage(expected::setupError());
    ui.expectIncompleteSettings(Choice::Cancel);
    ui.expectMessage(expected::abortWarning());
    EXPECT_FALSE(flow.ensureCompleteSettings());
    EXPECT_FALSE(flow.flags().setupActionChosen);
}

TEST_F(CompletenessCheck, LoadedFileCompletesTheSettings)
{
    ui.files["/home/eva/trat.ini"] = testData("factory.ini");
    ui.expectIncompleteSettings(Choice::LoadFile);
    ui.expectFileToOpen(FileKind::Ini, "/home/eva/trat.ini");
    EXPECT_TRUE(flow.ensureCompleteSettings());
    EXPECT_EQ(settings.racerName[1], "Závodník 2");
    EXPECT_EQ(ui.autoLoadMenuText, "ON");
}

TEST_F(CompletenessCheck, WizardConfirmedToTheEndCompletesTheSettings)
{
    ui.expectIncompleteSettings(Choice::Wizard);
    expectWizard(ui);
    ui.expectMessage(expected::wizardSaveQuestion(), MessageAnswer::No);
    EXPECT_TRUE(flow.ensureCompleteSettings());
    EXPECT_EQ(settings.trackLength, "25");
    EXPECT_EQ(settings.colourScheme, "1");
    EXPECT_EQ(settings.racerName[0], "Anna");
    EXPECT_EQ(settings.commPort, "COM3");
    EXPECT_EQ(ui.menuMarks, FakeSettingsUi::marksOf(settings));
    EXPECT_FALSE(flow.flags().wizardActive);
    EXPECT_EQ(flow.flags().wizardStep, SettingGroup::Track);
    EXPECT_TRUE(ui.files.empty());
}

TEST_F(CompletenessCheck, WizardWithACancelledDialogGoesOnAndTheCheckAsksAgain)
{
    ui.expectIncompleteSettings(Choice::Wizard);
    expectWizard(ui, SettingGroup::Laps);
    ui.expectMessage(expected::wizardSaveQuestion(), MessageAnswer::No);
    ui.expectMessage(expected::setupError());
    ui.expectIncompleteSettings(Choice::Cancel);
    ui.expectMessage(expected::abortWarning());
    EXPECT_FALSE(flow.ensureCompleteSettings());
    EXPECT_FALSE(settings.isGroupDone(SettingGroup::Laps));
    EXPECT_TRUE(settings.isGroupDone(SettingGroup::Communication));
    EXPECT_EQ(settings.commPort, "COM3");
}

TEST_F(CompletenessCheck, WizardYesSavesAndTheSavesOwnCheckPassesSilently)
{
    ui.expectIncompleteSettings(Choice::Wizard);
    expectWizard(ui);
    ui.expectMessage(expected::wizardSaveQuestion(), MessageAnswer::Yes);
    ui.expectFileToSave(FileKind::Ini, "/home/eva/nove.ini");
    EXPECT_TRUE(flow.ensureCompleteSettings());
    EXPECT_NE(ui.files["/home/eva/nove.ini"].find("Zavodnik1=Anna\r\n"), std::string::npos);
    EXPECT_EQ(ui.registryPath, "/home/eva/nove.ini");
    EXPECT_TRUE(flow.flags().setupChoiceAllowed);
    EXPECT_FALSE(flow.flags().saveRequested);
}

TEST_F(CompletenessCheck, WizardYesWithSettingsStillIncompleteDropsTheSaveSilently)
{
    ui.expectIncompleteSettings(Choice::Wizard);
    expectWizard(ui, SettingGroup::Racers);
    ui.expectMessage(expected::wizardSaveQuestion(), MessageAnswer::Yes);
    // No save dialog and no message from the dropped save: the check goes on.
    ui.expectMessage(expected::setupError());
    ui.expectIncompleteSettings(Choice::Cancel);
    ui.expectMessage(expected::abortWarning());
    EXPECT_FALSE(flow.ensureCompleteSettings());
    EXPECT_TRUE(flow.flags().setupChoiceAllowed);
    EXPECT_TRUE(ui.files.empty());
}

TEST_F(CompletenessCheck, SaveWithIncompleteSettingsOffersNoLoad)
{
    ui.expectIncompleteSettings(Choice::Cancel, false);
    ui.expectMessage(expected::abortWarning());
    flow.saveIniFile();
    EXPECT_FALSE(flow.flags().savePending);
    EXPECT_FALSE(flow.flags().saveRequested);
    EXPECT_TRUE(ui.files.empty());
}

TEST_F(CompletenessCheck, WizardStartedFromASaveAsksNoSaveQuestion)
{
    ui.expectIncompleteSettings(Choice::Wizard, false);
    expectWizard(ui);
    ui.expectFileToSave(FileKind::Ini, "/home/eva/nove.ini");
    flow.saveIniFile();
    EXPECT_EQ(ui.files.count("/home/eva/nove.ini"), 1u);
}

TEST_F(CompletenessCheck, IncompleteWizardInsideASaveShowsTheDialogAgainStillWithoutLoad)
{
    ui.expectIncompleteSettings(Choice::Wizard, false);
    expectWizard(ui, SettingGroup::Racers);
    ui.expectMessage(expected::setupError());
    ui.expectIncompleteSettings(Choice::Cancel, false);
    ui.expectMessage(expected::abortWarning());
    flow.saveIniFile();
    EXPECT_TRUE(ui.files.empty());
}
