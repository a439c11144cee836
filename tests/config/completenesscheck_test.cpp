#include "support/settingstestsupport.h"

#include <gtest/gtest.h>

namespace {

using Choice = IncompleteSettingsChoice;

class CompletenessCheck : public SettingsFlowTest {
protected:
    /// The check finds the settings still incomplete after a choice: the
    /// error, the dialog again (with its load choice \a loadEnabled), Cancel
    /// (Esc answers the same), and the abort warning.
    void expectErrorThenGivingUp(bool loadEnabled = true)
    {
        ui.expectMessage(expected::setupError);
        ui.expectIncompleteSettings(Choice::Cancel, loadEnabled);
        ui.expectMessage(expected::abortWarning);
    }
};

} // namespace

TEST_F(CompletenessCheck, CancelledLoadShowsTheErrorAndTheDialogAgain)
{
    ui.expectIncompleteSettings(Choice::LoadFile);
    ui.expectFileToOpen(FileKind::Ini, std::nullopt);
    expectErrorThenGivingUp();
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
    ui.expectMessage(expected::wizardSaveQuestion, MessageAnswer::No);
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
    ui.expectMessage(expected::wizardSaveQuestion, MessageAnswer::No);
    expectErrorThenGivingUp();
    EXPECT_FALSE(flow.ensureCompleteSettings());
    EXPECT_FALSE(settings.isGroupDone(SettingGroup::Laps));
    EXPECT_TRUE(settings.isGroupDone(SettingGroup::Communication));
    EXPECT_EQ(settings.commPort, "COM3");
}

TEST_F(CompletenessCheck, WizardYesSavesAndTheSavesOwnCheckPassesSilently)
{
    ui.expectIncompleteSettings(Choice::Wizard);
    expectWizard(ui);
    ui.expectMessage(expected::wizardSaveQuestion, MessageAnswer::Yes);
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
    ui.expectMessage(expected::wizardSaveQuestion, MessageAnswer::Yes);
    // No save dialog and no message from the dropped save: the check goes on.
    expectErrorThenGivingUp();
    EXPECT_FALSE(flow.ensureCompleteSettings());
    EXPECT_TRUE(flow.flags().setupChoiceAllowed);
    EXPECT_TRUE(ui.files.empty());
}

// A save runs the check without the load choice, and its wizard asks no
// save question of its own.
TEST_F(CompletenessCheck, SaveWithIncompleteSettingsOffersNoLoadAndItsWizardAsksNoSaveQuestion)
{
    ui.expectIncompleteSettings(Choice::Cancel, false);
    ui.expectMessage(expected::abortWarning);
    flow.saveIniFile();
    EXPECT_FALSE(flow.flags().savePending);
    EXPECT_FALSE(flow.flags().saveRequested);
    EXPECT_TRUE(ui.files.empty());

    ui.expectIncompleteSettings(Choice::Wizard, false);
    expectWizard(ui, SettingGroup::Racers);
    expectErrorThenGivingUp(false);
    flow.saveIniFile();
    EXPECT_TRUE(ui.files.empty());

    ui.expectIncompleteSettings(Choice::Wizard, false);
    expectWizard(ui);
    save("/home/eva/nove.ini");
    EXPECT_EQ(ui.files.count("/home/eva/nove.ini"), 1u);
}
