// The results of a finished race as a CSV file (Windows-1250, every field in
// double quotes, CR LF between lines): the text of the file and the question
// and save that follow the end of the race.
#pragma once

#include "engine/racestate.h"
#include "config/settingsui.h"

#include <functional>
#include <optional>
#include <string>

/// The header line and one line per used seat in seat order, UTF-8, without
/// a line end after the last line.
std::string resultsText(const Race &race);

/// The race report written beside the results file: its HTML, or nothing.
using BesideReport = std::function<std::optional<std::string>()>;

/// Asks whether to save the results and writes them to the file the user
/// chooses, reporting a file that cannot be written. Called once, when the
/// race is over. Once the results are written, \a besideReport (if given)
/// is written next to them under the same name ending in ".html".
void offerRaceResults(const Race &race, SettingsUi &ui, const BesideReport &besideReport = {});

/// Where the report beside \a resultsPath goes: the same name with ".html"
/// in place of its extension, never the results file itself.
std::string reportPathBeside(const std::string &resultsPath);
