// The settings flows of the main window: the completeness check and its
// callers' loop, the settings commands with the configuration wizard, saving
// and loading INI files, automatic loading at start-up and its menu toggle,
// and the factory settings. They nest inside each other as modal dialogs; the
// flags below keep the nested calls apart. Everything the user sees goes
// through SettingsUi.
#pragma once

#include "config/racesettings.h"
#include "config/settingsui.h"

#include <optional>
#include <string>

struct SettingsFlowFlags {
    /// The user gave up the check, or it found incomplete settings while no
    /// choice was allowed; callers clear it before their loop.
    bool setupAborted = false;
    /// A wizard or load choice was made; a later incomplete pass reports an error.
    bool setupActionChosen = false;
    /// When clear, an incomplete check aborts silently instead of asking.
    bool setupChoiceAllowed = true;
    bool wizardActive = false;
    /// The group whose dialog the wizard shows now.
    SettingGroup wizardStep = SettingGroup::Track;
    /// The check runs for a save: loading a file is not offered.
    bool savePending = false;
    /// A save is running: the wizard does not offer a save of its own.
    bool saveRequested = false;

    /// The current INI file: from the registry at start-up, then the last file
    /// a save or load went through.
    std::string iniFilePath;
    bool autoLoadEnabled = false;
    /// Makes the next toggle switch on without asking (a save or load did it).
    bool forceAutoLoadOn = false;
    /// Cleared only for the silent toggle at start-up.
    bool askBeforeToggle = true;
};

class SettingsFlow {
public:
    SettingsFlow(RaceSettings &settings, SettingsUi &ui);

    const SettingsFlowFlags &flags() const { return flags_; }

    /// At start-up: takes the INI path from the registry and, when there is
    /// one, shows it in the status line, switches automatic loading on
    /// silently and loads the file.
    void startUpAutoLoad();

    /// One pass of the completeness check; true when all six groups are done.
    /// Otherwise it may offer the wizard or a file load and returns false.
    bool checkSettings();
    /// Runs the check until the settings are complete or the user gives up;
    /// on giving up it shows the abort warning and returns false.
    bool ensureCompleteSettings();

    /// Commands 40002 to 40007: the group's dialog, and inside the wizard the
    /// groups after it and the closing save question.
    void settingsCommand(SettingGroup group);
    /// Command 40010.
    void factorySettingsCommand();
    /// Command 40012.
    void saveIniFile();
    /// Command 40011.
    void loadIniFile();
    /// Command 40013, also run by a save or load and at start-up.
    void toggleAutoLoad();

private:
    /// Passes of the check until complete (true) or given up (false).
    bool runCheckLoop(bool forSave);
    void editGroup(SettingGroup group, OkButtonRole role);
    void runWizard();
    std::optional<std::string> readIniFile(const std::string &path);
    void takeIniFile(const std::string &fileBytes);
    void switchAutoLoadToFile(const std::string &path);
    /// The question, the check and the registry update of a toggle; true when
    /// the menu text and the flag are to switch.
    bool confirmToggle(bool turnOn);
    void storeAutoLoadPath(bool turnOn);

    RaceSettings &settings_;
    SettingsUi &ui_;
    SettingsFlowFlags flags_;
};
