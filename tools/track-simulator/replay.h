// --replay: plays the line a race folder of Tramelo captured, at the pace it
// arrived, so that the program set to this terminal counts the same race
// again. The line is held before the race's first start crossing (repeating
// the records as they stand, as the hardware does) until Enter is pressed on
// standard input or the go file appears, because the replayed program's
// countdown lasts a random time; after the last line the final records go
// on repeating.
#pragma once

#include "pseudoterminal.h"
#include "replayscript.h"

#include <cstdint>
#include <optional>
#include <string>

/// The capture of \a raceFolder made ready to play, its hold set by the
/// journal's first start crossing when the journal can be read. Null with the
/// reason when there is no readable capture.
std::optional<ReplayScript> loadReplay(const std::string &raceFolder, std::string &error);

/// Plays \a script until a stop signal; the exit status. A damaged
/// capture's script stops once its lines are played, naming the damage, with
/// exit status 2.
int replay(const PseudoTerminal &terminal, const ReplayScript &script, const std::string &goFile, std::uint32_t baud);
