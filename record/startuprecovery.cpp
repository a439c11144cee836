#include "record/startuprecovery.h"

#include "record/fileerror.h"
#include "record/reportfiles.h"

#include <cerrno>

namespace record {

void announceInterruptedRaces(const std::filesystem::path &racesDir, MessageSink &messages)
{
    const std::vector<OpenRace> races = findOpenRaces(racesDir);
    if (races.empty())
        return;
    int markError = 0;
    for (const OpenRace &race : races)
        if (!recoverRace(race) && markError == 0)
            markError = errno != 0 ? errno : EIO;
    messages.showMessage(
        {"Informace", interruptedRacesText(races, markError), MessageButtons::Ok, MessageIcon::Information});
}

bool recoverRace(const OpenRace &race)
{
    const bool marked = markInterrupted(race);
    // A damaged or foreign journal is left as it is, with nothing beside it.
    if (!race.damaged) {
        RaceLog log = race.log;
        if (marked) {
            log.end = RaceEnd::Interrupted;
            log.endHostMs = 0;
        }
        const int markError = errno;
        writeRaceReports(race.folder, log);
        errno = markError;
    }
    return marked;
}

std::string interruptedRacesText(const std::vector<OpenRace> &races, int markError)
{
    std::string text = races.size() == 1 ? "Program minule nebyl řádně ukončen během závodu."
                                         : "Program minule nebyl řádně ukončen během závodů.";
    for (const OpenRace &race : races) {
        text += "\n\n";
        if (race.damaged) {
            text += "Záznam závodu ve složce " + race.folder.string() + " nelze přečíst (" + race.reason
                    + "). Byl ponechán beze změny.";
        } else {
            text += "Závod zahájený " + race.startedAt + " byl přerušen. Uložená kola: "
                    + std::to_string(race.lapsKept) + ".\nZáznam je ve složce " + race.folder.string() + ".";
        }
    }
    if (markError != 0)
        text += "\n\nZáznam nelze označit jako přerušený (" + fileErrorReason(markError)
                + "), proto se toto hlášení objeví i při příštím spuštění.";
    return text;
}

} // namespace record
