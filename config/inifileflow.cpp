// Saving and loading INI files: the save and load commands and the file load
// that start-up shares with them.
#include "config/initext.h"
#include "config/settingsflow.h"
#include "config/settingsmessages.h"

void SettingsFlow::saveIniFile()
{
    const bool complete = runCheckLoop(true);
    flags_.saveRequested = false;
    flags_.savePending = false;
    if (!complete) {
        if (flags_.setupChoiceAllowed) {
            ui_.showMessage(abortedActionWarning());
        } else {
            // The wizard's own save met incomplete settings: dropped without a word,
            // so the check around the wizard can ask again.
            flags_.setupChoiceAllowed = true;
            flags_.setupAborted = false;
        }
        return;
    }

    const std::optional<std::string> path = ui_.chooseFileToSave(FileKind::Ini);
    if (!path)
        return;
    // The path, the registry and the menu follow the file only once it is written.
    const std::optional<std::string> text = iniFileText(settings_);
    if (!text || !ui_.writeFile(*path, *text)) {
        ui_.showMessage(iniFileOpenError());
        return;
    }
    switchAutoLoadToFile(*path);
}

void SettingsFlow::loadIniFile()
{
    const std::optional<std::string> path = ui_.chooseFileToOpen(FileKind::Ini);
    if (!path)
        return;
    const std::optional<std::string> bytes = readIniFile(*path);
    if (!bytes)
        return;
    switchAutoLoadToFile(*path);
    takeIniFile(*bytes);
}

std::optional<std::string> SettingsFlow::readIniFile(const std::string &path)
{
    FileContents file = ui_.readFile(path, kMaxIniFileBytes);
    if (file.status != ReadStatus::Ok) {
        ui_.showMessage(iniFileOpenError());
        return std::nullopt;
    }
    return std::move(file.bytes);
}

void SettingsFlow::takeIniFile(const std::string &fileBytes)
{
    if (const std::optional<int> missing = readIniText(fileBytes, settings_)) {
        ui_.showMessage(settingsError("Chyba při nahrávání INI souboru [" + std::string(settingKey(*missing)) + "]."));
        flags_.saveRequested = false;
        flags_.savePending = false;
        return;
    }
    ui_.groupMarksChanged(settings_);
    flags_.savePending = false;
}
