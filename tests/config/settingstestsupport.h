// Shared by the settings tests: the messages the user must see, written out
// as the user reads them, a scripted run of the configuration wizard, and the
// expected files under tests/data.
#pragma once

#include "fakes/fakesettingsui.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace expected {

inline Message abortWarning()
{
    return {"Varování", "Uživatel přerušil vykonávání právě probíhající akce.", MessageButtons::Ok,
            MessageIcon::Warning};
}

inline Message setupError()
{
    return {"Chyba", "Během nastavování došlo k chybě ...", MessageButtons::Ok, MessageIcon::Error};
}

inline Message wizardSaveQuestion()
{
    return {"Otázka", "Bylo vytvořeno nové nastvení. Přejete si toto nastavení uložit?", MessageButtons::YesNo,
            MessageIcon::Question};
}

inline Message iniFileError()
{
    return {"Chyba", "Chyba pri manipulaci (vytváření/otevírání) s INI souborem!", MessageButtons::Ok,
            MessageIcon::Error};
}

inline Message missingKeyError(const std::string &key)
{
    return {"Chyba", "Chyba při nahrávání INI souboru [" + key + "].", MessageButtons::Ok, MessageIcon::Error};
}

inline Message switchOnQuestion()
{
    return {"Otázka", "Následující akce uloží příznak automatického nahrávání INI souboru. Pokračovat?",
            MessageButtons::YesNo, MessageIcon::Question};
}

inline Message switchOffQuestion()
{
    return {"Otázka", "Následující akce odebere automatické nahrávání INI souboru. Pokračovat?",
            MessageButtons::YesNo, MessageIcon::Question};
}

inline Message noIniPathError()
{
    return {"Chyba",
            "Nebyla nalezena žádná platná cesta k INI souboru. Neprve je potřeba nahrát, nebo uložit "
            "inicializační soubor.",
            MessageButtons::Ok, MessageIcon::Error};
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
    step(SettingGroup::Track, OkButtonRole::Next, [](RaceSettings &s) {
        s.trackLength = "25";
        s.scale = "24";
    });
    step(SettingGroup::Display, OkButtonRole::Next, [](RaceSettings &s) {
        s.displayOrder = "0";
        s.racerArrangement = "2";
        s.colourScheme = "1";
    });
    step(SettingGroup::AutoCounting, OkButtonRole::Next, [](RaceSettings &s) { s.autoOffTrackCounting = "1"; });
    step(SettingGroup::Racers, OkButtonRole::Next, [](RaceSettings &s) {
        s.racerName[0] = "Anna";
        s.racerName[1] = "Petr";
    });
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
