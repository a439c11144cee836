// The settings flows' user interface as the main window provides it: its
// status line and menu, the settings dialogs, file dialogs, files and the
// registry value.
#pragma once

#include "config/settingsui.h"

class MainFrame;

class WindowSettingsUi : public SettingsUi {
public:
    explicit WindowSettingsUi(MainFrame &frame) : frame_(frame) {}

    MessageAnswer showMessage(const Message &message) override;
    void setStatusText(const std::string &text) override;
    void setAutoLoadMenuText(const std::string &text) override;
    void groupMarksChanged(const RaceSettings &settings) override;
    IncompleteSettingsChoice askIncompleteSettings(bool loadEnabled) override;
    std::optional<RaceSettings> editGroup(SettingGroup group, const RaceSettings &settings,
                                          OkButtonRole okRole) override;
    std::optional<std::string> chooseFileToOpen(FileKind kind) override;
    std::optional<std::string> chooseFileToSave(FileKind kind) override;
    FileContents readFile(const std::string &path, std::size_t maxBytes) override;
    bool writeFile(const std::string &path, const std::string &bytes) override;
    std::string readAutoLoadPath() override;
    void writeAutoLoadPath(const std::string &path) override;
    void removeAutoLoadPath() override;

private:
    MainFrame &frame_;
};
