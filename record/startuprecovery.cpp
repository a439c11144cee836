#include "record/startuprecovery.h"

#include "record/fileerror.h"
#include "record/reportfiles.h"

#include <algorithm>
#include <cerrno>

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
    // A damaged or foreign journal is left as it is, with nothing beside it;
    // an ended race keeps the report its end wrote (it may hold laps the
    // journal lacks).
    if (!race.damaged && !race.ended) {
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

namespace {

std::string causeText(StoppedPart::Cause cause)
{
    switch (cause) {
    case StoppedPart::Cause::DiskFull: return "byl disk plný";
    case StoppedPart::Cause::ReadOnly: return "disk byl jen pro čtení";
    case StoppedPart::Cause::Failure: break;
    }
    return "došlo k chybě disku";
}

/// What stopped in a race whose record stopped, and what is kept.
std::string stoppedRaceText(const OpenRace &race)
{
    std::string text = "Závod zahájený " + race.startedAt + ":";
    for (const StoppedPart &stopped : race.log.stopped) {
        text += stopped.part == StoppedPart::Part::Journal ? " záznam závodu" : " záznam komunikace s hardwarem";
        text += " se zastavil po " + std::to_string(stopped.lapsBefore) + " kolech, protože "
                + causeText(stopped.cause) + ".";
    }
    text += race.ended ? " Závod doběhl do konce" : " Program pak nebyl řádně ukončen";
    text += "; uložená kola: " + std::to_string(race.lapsKept) + ".\nZáznam je ve složce " + race.folder.string()
            + ".";
    return text;
}

bool crashed(const OpenRace &race)
{
    return race.damaged || race.log.stopped.empty();
}

} // namespace

std::string interruptedRacesText(const std::vector<OpenRace> &races, int markError)
{
    const bool anyCrash = std::any_of(races.begin(), races.end(), crashed);
    std::string text;
    if (anyCrash)
        text = races.size() == 1 ? "Program minule nebyl řádně ukončen během závodu."
                                 : "Program minule nebyl řádně ukončen během závodů.";
    else
        text = races.size() == 1 ? "Záznam minulého závodu není úplný." : "Záznamy minulých závodů nejsou úplné.";
    for (const OpenRace &race : races) {
        text += "\n\n";
        if (race.damaged) {
            text += "Záznam závodu ve složce " + race.folder.string() + " nelze přečíst (" + race.reason
                    + "). Byl ponechán beze změny.";
        } else if (!race.log.stopped.empty()) {
            text += stoppedRaceText(race);
        } else {
            text += "Závod zahájený " + race.startedAt + " byl přerušen. Uložená kola: "
                    + std::to_string(race.lapsKept) + ".\nZáznam je ve složce " + race.folder.string() + ".";
        }
    }
    if (markError != 0)
        text += "\n\nZáznam nelze označit jako oznámený (" + fileErrorReason(markError)
                + "), proto se toto hlášení objeví i při příštím spuštění.";
    return text;
}
