// The results of a finished race as a CSV file (Windows-1250, every field in
// double quotes, CR LF between lines): the text of the file and the question
// and save that follow the end of the race.
#pragma once

#include "engine/racestate.h"
#include "platform/settingsui.h"

#include <string>

/// The header line and one line per used seat in seat order, UTF-8, without
/// a line end after the last line.
std::string resultsText(const Race &race);

/// Asks whether to save the results and writes them to the file the user
/// chooses, reporting a file that cannot be written. Called once, when the
/// race is over.
void offerRaceResults(const Race &race, SettingsUi &ui);
