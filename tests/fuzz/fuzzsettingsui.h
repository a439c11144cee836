// The user interface of a fuzzed settings flow: one INI file served from
// memory under a fixed name, writes that succeed and go nowhere, every
// question answered Yes, the incomplete-settings dialog and every settings
// dialog cancelled.
#pragma once

#include "config/settingsui.h"

#include <string>
#include <utility>

class FuzzSettingsUi : public SettingsUi {
public:
    static constexpr const char *kIniPath = "/fuzz/nastaveni.ini";

    explicit FuzzSettingsUi(std::string iniBytes) : iniBytes_(std::move(iniBytes)) {}

    MessageAnswer showMessage(const Message &message) override
    {
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    void setStatusText(const std::string &) override {}
    void setAutoLoadMenuText(const std::string &) override {}
    void groupMarksChanged(const RaceSettings &) override {}
    IncompleteSettingsChoice askIncompleteSettings(bool) override { return IncompleteSettingsChoice::Cancel; }
    std::optional<RaceSettings> editGroup(SettingGroup, const RaceSettings &, OkButtonRole) override
    {
        return std::nullopt;
    }
    std::optional<std::string> chooseFileToOpen(FileKind) override { return kIniPath; }
    std::optional<std::string> chooseFileToSave(FileKind kind) override
    {
        return kind == FileKind::Ini ? "/fuzz/ulozene.ini" : "/fuzz/vysledky.csv";
    }
    FileContents readFile(const std::string &path, std::size_t maxBytes) override
    {
        if (path != kIniPath)
            return {ReadStatus::CannotOpen, {}};
        if (iniBytes_.size() > maxBytes)
            return {ReadStatus::TooLarge, {}};
        return {ReadStatus::Ok, iniBytes_};
    }
    bool writeFile(const std::string &, const std::string &) override { return true; }
    std::string readAutoLoadPath() override { return registryPath; }
    void writeAutoLoadPath(const std::string &path) override { registryPath = path; }
    void removeAutoLoadPath() override { registryPath.clear(); }

    std::string registryPath;

private:
    std::string iniBytes_;
};
