// The cause of a failed file operation in words a person can read, shared by
// every message of the race record that names a file.
#pragma once

#include <filesystem>
#include <string>

/// A short Czech cause for \a error (an errno value), such as "disk je plný";
/// a cause without words of its own gives the system's number as well.
std::string fileErrorReason(int error);

/// "<file>: <cause>", the form every record message uses to name a file.
std::string fileErrorText(const std::filesystem::path &file, int error);
