// Shared by the settings tests: the messages the user must see, written out
// as the user reads them, a scripted run of the configuration wizard, the
// expected files under tests/data, and a settings flow over a scripted user
// interface.
#pragma once

#include "config/settingsflow.h"
#include "fakes/fakesettingsui.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace expected {

inline Message error(std::string text)
{
    return {"Chyba", std::move(text), MessageButtons::Ok, MessageIcon::Error};
}

inline Message question(std::string text)
{
    return {"Otázka", std::move(text), MessageButtons::YesNo, MessageIcon::Question};
}

inline const Message abortWarning{"Varování", "Uživatel přerušil vykonávání právě probíhající akce.",
                                  MessageButtons::Ok, MessageIcon::Warning};
inline const Message setupError = error("Během nastavování došlo k chybě ...");
inline const Message wizardSaveQuestion =
    question("Bylo vytvořeno nové nastvení. Přejete si toto nastavení uložit?");
inline const Message iniFileError = error("Chyba pri manipulaci (vytváření/otevírání) s INI souborem!");
inline const Message switchOnQuestion =
    question("Následující akce uloží příznak automatického nahrávání INI souboru. Pokračovat?");
inline const Message switchOffQuestion =
    question("Následující akce odebere automatické nahrávání INI souboru. Pokračovat?");
inline const Message noIniPathError = error("Nebyla nalezena žádná platná cesta k INI souboru. Neprve je potřeba "
                                            "nahrát, nebo uložit inicializační soubor.");

inline Message missingKeyError(const std::string &key)
{
    return error("Chyba při nahrávání INI souboru [" + key + "].");
}

} // namespace expected

/// Scripts the six wizard dialogs in their order, each confirmed with the
/// values of a small two-racer race, except \a cancelled, which is cancelled.
inline void expectWizard(FakeSettingsUi &ui, std::optional<SettingGroup> cancelled = std::nullopt)
{
    const auto step = [&](SettingGroup group, OkButtonRole role, FakeSettingsUi::Edit edit) {
        if (group == cancelled)
            ui.expectCancelledGroup(group, role);
        else
            ui.expectConfirmedGroup(group, role, std::move(edit));
    };
    step(SettingGroup::Track, OkButtonRole::Next, [](RaceSettings &s) { s.trackLength = "25"; s.scale = "24"; });
    step(SettingGroup::Display, OkButtonRole::Next,
         [](RaceSettings &s) { s.displayOrder = "0"; s.racerArrangement = "2"; s.colourScheme = "1"; });
    step(SettingGroup::AutoCounting, OkButtonRole::Next, [](RaceSettings &s) { s.autoOffTrackCounting = "1"; });
    step(SettingGroup::Racers, OkButtonRole::Next,
         [](RaceSettings &s) { s.racerName[0] = "Anna"; s.racerName[1] = "Petr"; });
    step(SettingGroup::Laps, OkButtonRole::Next, [](RaceSettings &s) { s.lapsPerRide = "15"; });
    step(SettingGroup::Communication, OkButtonRole::Finish, [](RaceSettings &s) {
        s.commPort = "COM3";
        s.baudRate = "CBR_57600";
        s.parity = "NOPARITY";
        s.dataBits = "8";
        s.stopBits = "ONESTOPBIT";
    });
}

/// The bytes of a file under tests/data.
inline std::string testData(const std::string &name)
{
    std::ifstream file(std::string(TRAMELO_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(file.is_open()) << "missing test data file " << name;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

/// tests/data/factory.ini with the first \a from (Windows-1250 bytes) replaced by \a to.
inline std::string factoryIni(const std::string &from = {}, const std::string &to = {})
{
    std::string text = testData("factory.ini");
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << "factory.ini holds no " << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

using SettingValues = std::array<std::string, kSettingCount>;

/// All values in file order, to compare settings whole.
inline SettingValues valuesOf(const RaceSettings &settings)
{
    SettingValues values;
    for (int i = 0; i < kSettingCount; ++i)
        values[static_cast<std::size_t>(i)] = settings.at(i);
    return values;
}

/// A settings flow over a scripted user interface.
class SettingsFlowTest : public ::testing::Test {
protected:
    /// The load command answered with \a path, which holds \a bytes (or does
    /// not exist), followed by \a message.
    void load(const std::string &path, std::optional<std::string> bytes,
              std::optional<Message> message = std::nullopt)
    {
        if (bytes)
            ui.files[path] = std::move(*bytes);
        ui.expectFileToOpen(FileKind::Ini, path);
        if (message)
            ui.expectMessage(*message);
        flow.loadIniFile();
    }

    /// The save command answered with \a path (cancelled when none), followed by \a message.
    void save(std::optional<std::string> path, std::optional<Message> message = std::nullopt)
    {
        ui.expectFileToSave(FileKind::Ini, std::move(path));
        if (message)
            ui.expectMessage(*message);
        flow.saveIniFile();
    }

    RaceSettings settings;
    FakeSettingsUi ui;
    SettingsFlow flow{settings, ui};
};
