// A SettingsUi for tests. Messages, the incomplete-settings dialog, the
// settings dialogs and the file dialogs follow a script that the test writes
// in the order the flow must ask; anything asked out of turn fails the test,
// and so does a scripted step never reached. Files, the registry value, the
// status line, the menu text and the menu's marks are plain state to inspect.
#pragma once

#include "config/settingsui.h"

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class FakeSettingsUi : public SettingsUi {
public:
    using Edit = std::function<void(RaceSettings &)>;

    ~FakeSettingsUi() override;

    void expectMessage(const Message &message, MessageAnswer answer = MessageAnswer::Ok);
    /// The incomplete-settings dialog, shown with its load choice \a loadEnabled.
    void expectIncompleteSettings(IncompleteSettingsChoice choice, bool loadEnabled = true);
    /// The dialog of \a group with OK labelled \a role, confirmed after \a edit
    /// changed the values.
    void expectConfirmedGroup(SettingGroup group, OkButtonRole role, Edit edit);
    void expectCancelledGroup(SettingGroup group, OkButtonRole role);
    /// A file dialog answered with \a path, or cancelled when it is empty.
    void expectFileToOpen(FileKind kind, std::optional<std::string> path);
    void expectFileToSave(FileKind kind, std::optional<std::string> path);

    MessageAnswer showMessage(const Message &message) override;
    void setStatusText(const std::string &text) override;
    void setAutoLoadMenuText(const std::string &text) override { autoLoadMenuText = text; }
    void groupMarksChanged(const RaceSettings &settings) override;
    IncompleteSettingsChoice askIncompleteSettings(bool loadEnabled) override;
    std::optional<RaceSettings> editGroup(SettingGroup group, const RaceSettings &settings,
                                          OkButtonRole okRole) override;
    std::optional<std::string> chooseFileToOpen(FileKind kind) override;
    std::optional<std::string> chooseFileToSave(FileKind kind) override;
    FileContents readFile(const std::string &path, std::size_t maxBytes) override;
    bool writeFile(const std::string &path, const std::string &bytes) override;
    std::string readAutoLoadPath() override { return registryPath.value_or(""); }
    void writeAutoLoadPath(const std::string &path) override { registryPath = path; }
    void removeAutoLoadPath() override { registryPath.reset(); }

    /// The six check marks the menu shows, in command order.
    static std::array<bool, 6> marksOf(const RaceSettings &settings);

    std::vector<std::string> statusTexts;
    std::string autoLoadMenuText = "OFF";
    std::array<bool, 6> menuMarks = marksOf(RaceSettings{});
    std::map<std::string, std::string> files;
    std::set<std::string> unwritablePaths;
    std::optional<std::string> registryPath;

private:
    enum class Kind { Message, IncompleteSettings, Group, FileToOpen, FileToSave };
    struct Step {
        Kind kind;
        Message message{};
        MessageAnswer answer = MessageAnswer::Ok;
        IncompleteSettingsChoice choice = IncompleteSettingsChoice::Cancel;
        bool loadEnabled = true;
        SettingGroup group = SettingGroup::Track;
        OkButtonRole role = OkButtonRole::Ok;
        Edit edit{};
        bool confirmed = false;
        FileKind fileKind = FileKind::Ini;
        std::optional<std::string> path{};
    };

    /// The next scripted step when it is of \a kind; otherwise a failure
    /// naming \a asked, and nothing.
    std::optional<Step> take(Kind kind, const std::string &asked);
    static std::string describe(const Step &step);

    std::deque<Step> script_;
};
