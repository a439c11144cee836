// The message boxes the settings flows share, with their captions, buttons
// and icons.
#pragma once

#include "platform/message.h"

#include <string>

inline Message settingsError(std::string text)
{
    return {"Chyba", std::move(text), MessageButtons::Ok, MessageIcon::Error};
}

inline Message settingsQuestion(std::string text)
{
    return {"Otázka", std::move(text), MessageButtons::YesNo, MessageIcon::Question};
}

inline Message abortedActionWarning()
{
    return {"Varování", "Uživatel přerušil vykonávání právě probíhající akce.", MessageButtons::Ok,
            MessageIcon::Warning};
}

inline Message iniFileOpenError()
{
    return settingsError("Chyba pri manipulaci (vytváření/otevírání) s INI souborem!");
}
