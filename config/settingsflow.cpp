#include "config/settingsflow.h"

#include "config/settingsmessages.h"

namespace {

SettingGroup groupOf(int index)
{
    switch (index) {
    case kScaleIndex:
    case kTrackLengthIndex: return SettingGroup::Track;
    case kDisplayOrderIndex:
    case kRacerArrangementIndex:
    case kColourSchemeIndex: return SettingGroup::Display;
    case kAutoOffTrackCountingIndex: return SettingGroup::AutoCounting;
    case kLapsPerRideIndex: return SettingGroup::Laps;
    default: break;
    }
    return index < kLapsPerRideIndex ? SettingGroup::Racers : SettingGroup::Communication;
}

} // namespace

SettingsFlow::SettingsFlow(RaceSettings &settings, SettingsUi &ui) : settings_(settings), ui_(ui) {}

bool SettingsFlow::checkSettings()
{
    if (settings_.settingsComplete()) {
        flags_.setupActionChosen = false;
        flags_.setupChoiceAllowed = true;
        return true;
    }
    if (!flags_.setupChoiceAllowed) {
        flags_.setupAborted = true;
        return false;
    }
    if (flags_.setupActionChosen)
        ui_.showMessage(settingsError("Během nastavování došlo k chybě ..."));

    switch (ui_.askIncompleteSettings(!flags_.savePending)) {
    case IncompleteSettingsChoice::Cancel:
        flags_.setupAborted = true;
        flags_.setupActionChosen = false;
        break;
    case IncompleteSettingsChoice::Wizard:
        flags_.setupActionChosen = true;
        runWizard();
        break;
    case IncompleteSettingsChoice::LoadFile:
        flags_.setupActionChosen = true;
        loadIniFile();
        break;
    }
    if (flags_.setupActionChosen)
        flags_.savePending = false;
    return false;
}

bool SettingsFlow::runCheckLoop(bool forSave)
{
    flags_.setupAborted = false;
    while (!flags_.setupAborted) {
        // Every pass of a save says so again: a pass that made a choice clears savePending.
        if (forSave) {
            flags_.saveRequested = true;
            flags_.savePending = true;
        }
        if (checkSettings())
            return true;
    }
    return false;
}

bool SettingsFlow::ensureCompleteSettings()
{
    if (runCheckLoop(false))
        return true;
    ui_.showMessage(abortedActionWarning());
    return false;
}

void SettingsFlow::settingsCommand(SettingGroup group)
{
    editGroup(group, OkButtonRole::Ok);
}

void SettingsFlow::editGroup(SettingGroup group, OkButtonRole role)
{
    // The track group counts as done once its dialog was shown, whatever the answer.
    if (group == SettingGroup::Track) {
        settings_.markGroup(group, true);
        ui_.groupMarksChanged(settings_);
    }
    const std::optional<RaceSettings> edited = ui_.editGroup(group, settings_, role);
    if (!edited)
        return;
    for (int i = 0; i < kSettingCount; ++i) {
        if (groupOf(i) == group)
            settings_.at(i) = edited->at(i);
    }
    const bool done = group != SettingGroup::Racers || !settings_.racerName[0].empty();
    settings_.markGroup(group, done);
    ui_.groupMarksChanged(settings_);
}

void SettingsFlow::runWizard()
{
    flags_.wizardActive = true;
    for (SettingGroup group : kSettingGroups) {
        flags_.wizardStep = group;
        editGroup(group, group == kSettingGroups.back() ? OkButtonRole::Finish : OkButtonRole::Next);
    }
    flags_.wizardActive = false;
    flags_.wizardStep = SettingGroup::Track;
    if (flags_.saveRequested)
        return;
    const Message offer = settingsQuestion("Bylo vytvořeno nové nastvení. Přejete si toto nastavení uložit?");
    if (ui_.showMessage(offer) != MessageAnswer::Yes)
        return;
    // The save must not ask again: with settings still incomplete it ends silently.
    flags_.setupChoiceAllowed = false;
    saveIniFile();
}

void SettingsFlow::factorySettingsCommand()
{
    applyFactorySettings(settings_);
    ui_.setStatusText(std::string(kFactorySettingsLoadedText));
    ui_.groupMarksChanged(settings_);
}
