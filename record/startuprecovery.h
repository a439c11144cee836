// At start-up: the races an earlier run left open (killed, crashed, power
// cut) are marked interrupted, each kept as it is, and the user is told once,
// in one box, which race was interrupted, how many laps were kept and where.
#pragma once

#include "platform/message.h"
#include "record/archivepages.h"
#include "record/recovery.h"

#include <filesystem>
#include <string>
#include <vector>

/// Marks every open race under \a racesDir and shows one information box
/// about them all; nothing when there are none.
void announceInterruptedRaces(const std::filesystem::path &racesDir, MessageSink &messages);

struct RecoveredRaces {
    std::vector<OpenRace> races; ///< sorted by folder; empty when none was open
    int markError = 0;           ///< errno of the first mark not written, else 0
};
/// Finds the open races under \a racesDir, but those \a skip names, and
/// recovers each (recoverRace), without telling anyone yet.
RecoveredRaces recoverOpenRaces(const std::filesystem::path &racesDir, const FolderFilter &skip = {});
/// The one information box telling of \a recovered races.
Message interruptedRacesMessage(const RecoveredRaces &recovered);
/// The archive's index brought up to date with the \a recovered races, and
/// the pages of each night they belong to written.
void writePagesAfterRecovery(const ArchivePaths &paths, const std::vector<OpenRace> &recovered);

/// What is done for one race found open, before it is announced: it is
/// marked, so that no later start announces it again. False when the mark
/// could not be written, with errno telling why.
bool recoverRace(const OpenRace &race);

/// The box's text; \a markError is the errno of a mark that could not be
/// written, 0 when every race was marked.
std::string interruptedRacesText(const std::vector<OpenRace> &races, int markError);
