// Whole files for the settings and results flows: a bounded read of a whole
// file, and a replacement that either writes the complete file or leaves the
// old one as it was. Every failure is reported to the caller.
#pragma once

#include "config/settingsui.h"

#include <cstddef>
#include <string>

/// Reads the whole regular file; one that holds more than \a maxBytes is
/// refused with TooLarge rather than cut short. Anything else (a directory, a
/// device, a named pipe) cannot be opened.
FileContents readWholeFile(const std::string &path, std::size_t maxBytes);

/// Writes \a bytes as the new content of \a path, a regular file or a new
/// name. The file is replaced only after the complete write succeeded; an
/// existing path that is no regular file (a device such as /dev/full, a named
/// pipe, a directory) is left alone. False on any error, including a failed
/// flush.
bool replaceWholeFile(const std::string &path, const std::string &bytes);
