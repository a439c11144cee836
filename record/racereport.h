// The race report: one self-contained HTML page (inline style and SVG, no
// script, nothing fetched) built from a race's journal alone. It tells the
// race, the standings with times on the hardware's clock, both charts, every
// lap of every racer and the race's events, in Czech.
#pragma once

#include "record/racelog.h"

#include <string>

struct RecordsBefore;

/// The whole page, UTF-8. With \a records (the bests before the race), the
/// laps that beat a personal best or the track record are marked.
std::string raceReportHtml(const RaceLog &log, const RecordsBefore *records = nullptr);
