// `tramelo --night`, `--season`, `--records`, `--drivers`, `--reindex`,
// `--exclude` and `--include`: the archive's pages and records with no
// window, the outcome told on the terminal.
#pragma once

#include "app/commandline.h"

#include <filesystem>

/// Does what \a request asks in the archive under \a dataDir; the program's
/// exit status: 0 when done, 1 (with a Czech reason on standard error) when not.
int runArchiveCommand(const CommandLine::ArchiveRequest &request, const std::filesystem::path &dataDir);
