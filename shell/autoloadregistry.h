// The program's one registry value: the path of the INI file loaded at
// start-up. It lives in the per-user application settings of organisation
// "Korvanta", application "tramelo", group "Setting", key "iniFilePath"
// (~/.config/Korvanta/tramelo.conf on Linux, HKCU\Software\Korvanta\tramelo
// on Windows). Nothing else is stored there.
#pragma once

#include <string>

/// The stored path, or "" when there is none.
std::string autoLoadPathFromRegistry();
void storeAutoLoadPathInRegistry(const std::string &path);
/// Removes the value and nothing else.
void removeAutoLoadPathFromRegistry();
