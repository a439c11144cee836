// Whole files for the settings and results flows: a bounded read of a whole
// file, and a replacement that either writes the complete file or leaves the
// old one as it was. Every failure is reported to the caller.
#pragma once

#include "platform/settingsui.h"

#include <cstddef>
#include <string>

/// Reads the whole file; one that holds more than \a maxBytes is refused with
/// TooLarge rather than cut short.
FileContents readWholeFile(const std::string &path, std::size_t maxBytes);

/// Writes \a bytes as the new content of \a path. A regular file is replaced
/// only after the complete write succeeded; a device (such as /dev/full) is
/// written directly. False on any error, including a failed flush.
bool replaceWholeFile(const std::string &path, const std::string &bytes);
