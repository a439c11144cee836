#include "record/startuprecovery.h"

#include "record/reportfiles.h"

void announceInterruptedRaces(const std::filesystem::path &racesDir, MessageSink &messages)
{
    const std::vector<OpenRace> races = findOpenRaces(racesDir);
    if (races.empty())
        return;
    bool allMarked = true;
    for (const OpenRace &race : races)
        allMarked = recoverRace(race) && allMarked;
    messages.showMessage(
        {"Informace", interruptedRacesText(races, allMarked), MessageButtons::Ok, MessageIcon::Information});
}

bool recoverRace(const OpenRace &race)
{
    const bool marked = markInterrupted(race.folder);
    // A damaged or foreign journal is left as it is, with nothing beside it.
    if (!race.damaged)
        writeRaceFolderReports(race.folder);
    return marked;
}

std::string interruptedRacesText(const std::vector<OpenRace> &races, bool allMarked)
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
    if (!allMarked)
        text += "\n\nZáznam nelze označit jako přerušený (složku nelze zapisovat), proto se toto hlášení "
                "objeví i při příštím spuštění.";
    return text;
}
