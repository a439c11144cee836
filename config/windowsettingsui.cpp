#include "config/windowsettingsui.h"

#include "config/mainframe.h"
#include "config/mainmenu.h"
#include "platform/autoloadregistry.h"
#include "platform/filedialogs.h"
#include "platform/filestore.h"
#include "platform/messagebox.h"
#include "setup/settingsdialogs.h"

#include <QAction>

MessageAnswer WindowSettingsUi::showMessage(const Message &message)
{
    return showMessageBox(&frame_, message);
}

void WindowSettingsUi::setStatusText(const std::string &text)
{
    frame_.setStatusText(QString::fromStdString(text));
}

void WindowSettingsUi::setAutoLoadMenuText(const std::string &text)
{
    frame_.menu().action(kAutoLoadCommand)->setText(QString::fromStdString(text));
}

void WindowSettingsUi::groupMarksChanged(const RaceSettings &settings)
{
    frame_.menu().showGroupMarks(settings);
}

IncompleteSettingsChoice WindowSettingsUi::askIncompleteSettings(bool loadEnabled)
{
    return execIncompleteSettingsDialog(&frame_, loadEnabled);
}

std::optional<RaceSettings> WindowSettingsUi::editGroup(SettingGroup group, const RaceSettings &settings,
                                                        OkButtonRole okRole)
{
    return execSettingsDialog(&frame_, group, settings, okRole);
}

std::optional<std::string> WindowSettingsUi::chooseFileToOpen(FileKind kind)
{
    return execOpenFileDialog(&frame_, kind);
}

std::optional<std::string> WindowSettingsUi::chooseFileToSave(FileKind kind)
{
    return execSaveFileDialog(&frame_, kind);
}

FileContents WindowSettingsUi::readFile(const std::string &path, std::size_t maxBytes)
{
    return readWholeFile(path, maxBytes);
}

bool WindowSettingsUi::writeFile(const std::string &path, const std::string &bytes)
{
    return replaceWholeFile(path, bytes);
}

std::string WindowSettingsUi::readAutoLoadPath()
{
    return autoLoadPathFromRegistry();
}

void WindowSettingsUi::writeAutoLoadPath(const std::string &path)
{
    storeAutoLoadPathInRegistry(path);
}

void WindowSettingsUi::removeAutoLoadPath()
{
    removeAutoLoadPathFromRegistry();
}
