// The events section of the race report: off-track marks, false starts,
// disqualifications and readmissions, fuel warnings and finishes, each with
// the racer and the lap it happened on.
#pragma once

#include "record/racelog.h"

#include <string>

/// The Czech description of an event, or empty for one the report leaves out
/// (the start signal and start crossings, told by the laps themselves).
std::string eventText(const EventEntry &event);

/// Appends the section to \a html.
void writeEvents(std::string &html, const RaceLog &log);
