// Finds the program's data files (sounds, help) by their relative name such as
// "soubory/finish.wav": in the current directory, beside the program, then in
// the installed data directory.
#pragma once

#include <QString>

/// The absolute path of \a relativePath, or an empty string when it is nowhere.
QString locateDataFile(const QString &relativePath);
