#include "shell/windowsettingsui.h"

#include "shell/mainframe.h"
#include "shell/mainmenu.h"
#include "shell/autoloadregistry.h"
#include "shell/filedialogs.h"
#include "shell/filestore.h"
#include "qtplatform/messagebox.h"
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
