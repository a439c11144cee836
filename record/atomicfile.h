// Replacing a file in one step for the plain core, which has no Qt: the new
// content goes to a temporary file beside it, is forced to the disk and then
// renamed over the old name, so a reader finds the old file or the whole new
// one, never a half-written one.
#pragma once

#include <filesystem>
#include <string_view>

/// False on any error, with errno telling why, leaving the old file as it
/// was. A path that exists and is no regular file (a directory, a device, a
/// named pipe) is left alone: errno is EISDIR for a directory, else EINVAL.
bool replaceFileAtomically(const std::filesystem::path &file, std::string_view bytes);
