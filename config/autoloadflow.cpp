// Automatic loading: the INI file named in the registry is loaded at start-up,
// and the menu item "ON"/"OFF" switches it.
#include "config/settingsflow.h"
#include "config/settingsmessages.h"

#include <cstddef>

namespace {

constexpr std::size_t kStatusPathChars = 55;

// The start-up status line: the path, or its last 55 characters after "... ".
std::string statusPathText(const std::string &path)
{
    // Characters, not bytes: a UTF-8 continuation byte starts no character.
    std::size_t chars = 0;
    for (unsigned char byte : path)
        chars += (byte & 0xC0) != 0x80;
    if (chars <= kStatusPathChars)
        return path;
    std::size_t skip = chars - kStatusPathChars;
    std::size_t at = 0;
    for (; at < path.size(); ++at) {
        if ((static_cast<unsigned char>(path[at]) & 0xC0) != 0x80 && skip-- == 0)
            break;
    }
    return "... " + path.substr(at);
}

} // namespace

void SettingsFlow::startUpAutoLoad()
{
    flags_.iniFilePath = ui_.readAutoLoadPath();
    if (flags_.iniFilePath.empty())
        return;
    ui_.setStatusText(statusPathText(flags_.iniFilePath));
    flags_.askBeforeToggle = false;
    toggleAutoLoad();
    // A file that is gone is reported; automatic loading stays on with its path.
    if (const std::optional<std::string> bytes = readIniFile(flags_.iniFilePath))
        takeIniFile(*bytes);
}

void SettingsFlow::switchAutoLoadToFile(const std::string &path)
{
    flags_.iniFilePath = path;
    flags_.forceAutoLoadOn = true;
    toggleAutoLoad();
}

void SettingsFlow::toggleAutoLoad()
{
    const bool turnOn = flags_.forceAutoLoadOn || !flags_.autoLoadEnabled;
    if (confirmToggle(turnOn)) {
        ui_.setAutoLoadMenuText(turnOn ? "ON" : "OFF");
        flags_.autoLoadEnabled = turnOn;
    }
    flags_.forceAutoLoadOn = false;
    flags_.askBeforeToggle = true;
}

bool SettingsFlow::confirmToggle(bool turnOn)
{
    if (flags_.forceAutoLoadOn) {
        storeAutoLoadPath(true);
        return true;
    }
    // The silent switch of start-up leaves the registry as it is.
    if (!flags_.askBeforeToggle)
        return true;

    const Message question = settingsQuestion(
        turnOn ? "Následující akce uloží příznak automatického nahrávání INI souboru. Pokračovat?"
               : "Následující akce odebere automatické nahrávání INI souboru. Pokračovat?");
    if (ui_.showMessage(question) != MessageAnswer::Yes)
        return false;
    // A load or save chosen inside this check switches on with its own file;
    // the toggle then stores that same path and stays "ON", as it decided
    // before the check.
    if (turnOn && !ensureCompleteSettings()) {
        flags_.savePending = false;
        return false;
    }
    if (flags_.iniFilePath.empty()) {
        ui_.showMessage(settingsError("Nebyla nalezena žádná platná cesta k INI souboru. Neprve je potřeba "
                                      "nahrát, nebo uložit inicializační soubor."));
        return false;
    }
    storeAutoLoadPath(turnOn);
    return true;
}

void SettingsFlow::storeAutoLoadPath(bool turnOn)
{
    if (turnOn) {
        ui_.writeAutoLoadPath(flags_.iniFilePath);
        ui_.setStatusText("Data byla úspěšně nahrána.");
    } else {
        ui_.removeAutoLoadPath();
        ui_.setStatusText("Konfigurační data byla smazána z registru.");
    }
}
