// `tramelo --report`: a race's report rebuilt from its journal, with no
// window and no display, the outcome told on the terminal.
#pragma once

#include "app/commandline.h"

/// Writes the report asked for; the program's exit status: 0 when written,
/// 1 (with a Czech reason on standard error) when not.
int rebuildRaceReport(const CommandLine::ReportRequest &request);
