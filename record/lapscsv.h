// laps.csv: every counted lap of a race as a table for spreadsheets, one row
// per lap in the order the laps were counted. RFC 4180 (a header line,
// fields quoted when they need it, quotes doubled, CR LF after every line),
// UTF-8 with a byte-order mark so spreadsheet programs read the Czech names
// right. Unlike the results file it is not Windows-1250.
#pragma once

#include "record/racelog.h"

#include <string>
#include <string_view>

std::string lapsCsv(const RaceLog &log);

/// One field as RFC 4180 writes it: quoted when it holds a comma, a quote,
/// CR or LF, with its quotes doubled. A text that a spreadsheet would run as
/// a formula (one starting with =, +, -, @, TAB or CR) gets a leading
/// apostrophe so it stays text.
std::string csvField(std::string_view text);
