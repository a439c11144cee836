#include "fakes/fakesettingsui.h"

#include <gtest/gtest.h>

namespace {

std::string groupName(SettingGroup group)
{
    return std::to_string(static_cast<int>(group));
}

std::string fileKindName(FileKind kind)
{
    return kind == FileKind::Ini ? "INI" : "results";
}

} // namespace

FakeSettingsUi::~FakeSettingsUi()
{
    for (const Step &step : script_)
        ADD_FAILURE() << "expected but never asked: " << describe(step);
}

void FakeSettingsUi::expectMessage(const Message &message, MessageAnswer answer)
{
    Step step{Kind::Message};
    step.message = message;
    step.answer = answer;
    script_.push_back(std::move(step));
}

void FakeSettingsUi::expectIncompleteSettings(IncompleteSettingsChoice choice, bool loadEnabled)
{
    Step step{Kind::IncompleteSettings};
    step.choice = choice;
    step.loadEnabled = loadEnabled;
    script_.push_back(std::move(step));
}

void FakeSettingsUi::expectConfirmedGroup(SettingGroup group, OkButtonRole role, Edit edit)
{
    Step step{Kind::Group};
    step.group = group;
    step.role = role;
    step.edit = std::move(edit);
    step.confirmed = true;
    script_.push_back(std::move(step));
}

void FakeSettingsUi::expectCancelledGroup(SettingGroup group, OkButtonRole role)
{
    Step step{Kind::Group};
    step.group = group;
    step.role = role;
    script_.push_back(std::move(step));
}

void FakeSettingsUi::expectFileToOpen(FileKind kind, std::optional<std::string> path)
{
    Step step{Kind::FileToOpen};
    step.fileKind = kind;
    step.path = std::move(path);
    script_.push_back(std::move(step));
}

void FakeSettingsUi::expectFileToSave(FileKind kind, std::optional<std::string> path)
{
    Step step{Kind::FileToSave};
    step.fileKind = kind;
    step.path = std::move(path);
    script_.push_back(std::move(step));
}

std::optional<FakeSettingsUi::Step> FakeSettingsUi::take(Kind kind, const std::string &asked)
{
    if (script_.empty()) {
        ADD_FAILURE() << "unexpected: " << asked << " (script is empty)";
        return std::nullopt;
    }
    if (script_.front().kind != kind) {
        ADD_FAILURE() << "unexpected: " << asked << " (script expects " << describe(script_.front()) << ")";
        return std::nullopt;
    }
    Step step = std::move(script_.front());
    script_.pop_front();
    return step;
}

std::string FakeSettingsUi::describe(const Step &step)
{
    switch (step.kind) {
    case Kind::Message: return "message [" + step.message.caption + "] " + step.message.text;
    case Kind::IncompleteSettings: return "incomplete-settings dialog";
    case Kind::Group: return "settings dialog " + groupName(step.group);
    case Kind::FileToOpen: return "open dialog for " + fileKindName(step.fileKind);
    case Kind::FileToSave: return "save dialog for " + fileKindName(step.fileKind);
    }
    return "?";
}

MessageAnswer FakeSettingsUi::showMessage(const Message &message)
{
    const auto step = take(Kind::Message, "message [" + message.caption + "] " + message.text);
    if (!step)
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    EXPECT_EQ(message.caption, step->message.caption) << message.text;
    EXPECT_EQ(message.text, step->message.text);
    EXPECT_EQ(message.buttons, step->message.buttons) << message.text;
    EXPECT_EQ(message.icon, step->message.icon) << message.text;
    return step->answer;
}

void FakeSettingsUi::setStatusText(const std::string &text)
{
    statusTexts.push_back(text);
}

void FakeSettingsUi::groupMarksChanged(const RaceSettings &settings)
{
    menuMarks = marksOf(settings);
}

IncompleteSettingsChoice FakeSettingsUi::askIncompleteSettings(bool loadEnabled)
{
    const auto step = take(Kind::IncompleteSettings, "incomplete-settings dialog");
    if (!step)
        return IncompleteSettingsChoice::Cancel;
    EXPECT_EQ(loadEnabled, step->loadEnabled) << "load choice enabled";
    return step->choice;
}

std::optional<RaceSettings> FakeSettingsUi::editGroup(SettingGroup group, const RaceSettings &settings,
                                                      OkButtonRole okRole)
{
    const auto step = take(Kind::Group, "settings dialog " + groupName(group));
    if (!step)
        return std::nullopt;
    EXPECT_EQ(group, step->group);
    EXPECT_EQ(okRole, step->role) << "OK button of dialog " << groupName(group);
    if (!step->confirmed)
        return std::nullopt;
    RaceSettings edited = settings;
    step->edit(edited);
    return edited;
}

std::optional<std::string> FakeSettingsUi::chooseFileToOpen(FileKind kind)
{
    const auto step = take(Kind::FileToOpen, "open dialog for " + fileKindName(kind));
    if (!step)
        return std::nullopt;
    EXPECT_EQ(kind, step->fileKind);
    return step->path;
}

std::optional<std::string> FakeSettingsUi::chooseFileToSave(FileKind kind)
{
    const auto step = take(Kind::FileToSave, "save dialog for " + fileKindName(kind));
    if (!step)
        return std::nullopt;
    EXPECT_EQ(kind, step->fileKind);
    return step->path;
}

FileContents FakeSettingsUi::readFile(const std::string &path, std::size_t maxBytes)
{
    const auto file = files.find(path);
    if (file == files.end())
        return {ReadStatus::CannotOpen, {}};
    if (file->second.size() > maxBytes)
        return {ReadStatus::TooLarge, {}};
    return {ReadStatus::Ok, file->second};
}

bool FakeSettingsUi::writeFile(const std::string &path, const std::string &bytes)
{
    if (unwritablePaths.count(path) != 0)
        return false;
    files[path] = bytes;
    return true;
}

std::array<bool, 6> FakeSettingsUi::marksOf(const RaceSettings &settings)
{
    std::array<bool, 6> marks{};
    for (std::size_t i = 0; i < marks.size(); ++i)
        marks[i] = settings.isGroupDone(kSettingGroups[i]);
    return marks;
}
