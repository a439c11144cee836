#include "record/startuprecovery.h"

#include "record/fileerror.h"
#include "record/racesummary.h"
#include "record/reportfiles.h"

#include <algorithm>
#include <cerrno>
#include <set>

void announceInterruptedRaces(const std::filesystem::path &racesDir, MessageSink &messages)
{
    const RecoveredRaces recovered = recoverOpenRaces(racesDir);
    if (!recovered.races.empty())
        messages.showMessage(interruptedRacesMessage(recovered));
}

RecoveredRaces recoverOpenRaces(const std::filesystem::path &racesDir, const FolderFilter &skip)
{
    RecoveredRaces recovered{findOpenRaces(racesDir, skip)};
    for (const OpenRace &race : recovered.races)
        if (!recoverRace(race) && recovered.markError == 0)
            recovered.markError = errno != 0 ? errno : EIO;
    return recovered;
}

Message interruptedRacesMessage(const RecoveredRaces &recovered)
{
    return {"Informace", interruptedRacesText(recovered.races, recovered.markError), MessageButtons::Ok,
            MessageIcon::Information};
}

void writePagesAfterRecovery(const ArchivePaths &paths, const std::vector<OpenRace> &recovered)
{
    // One race of each night brings the index up to date and writes that
    // night's page; the seasons and records pages come with it. A damaged
    // journal is in no night.
    std::set<std::string> nights;
    for (const OpenRace &race : recovered)
        if (!race.damaged && nights.insert(nightOf(race.startedAt)).second)
            writePagesAfterRace(paths, race.folder.filename().string());
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
