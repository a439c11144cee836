#include "engine/resultsfile.h"

#include "engine/duration.h"
#include "platform/codec.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

namespace {

constexpr std::string_view kHeader = "\"Jméno závodníka:\",\"Celkové pořadí:\",\"Ztráty na vedoucího "
                                     "závodníka/celkoví čas:\",\"Čas nejrychlejšího kola:\",\"Maximální "
                                     "rychlost:\"";

// A double quote inside a field is doubled, so a name like Jan "Blesk" Novák
// cannot end its field early.
std::string quoted(std::string_view field)
{
    std::string text = "\"";
    for (char c : field) {
        if (c == '"')
            text += '"';
        text += c;
    }
    text += '"';
    return text;
}

std::int32_t truncatedMs(double ms)
{
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(ms))
        return 0;
    return static_cast<std::int32_t>(std::trunc(std::clamp(ms, lowest, highest)));
}

// Field 3: the winner's total time, or the time part of the gap, or the gap
// text itself when it holds no time. The total is the lap counter's, as the
// gaps are; the race clock stands in only for a winner without one.
std::string resultField(const RacerState &racer, double raceElapsedMs)
{
    if (racer.rankText == "1") {
        const std::int32_t total = racer.raceTimeMs ? *racer.raceTimeMs : truncatedMs(raceElapsedMs);
        return formatDuration(total) + " (vítězný celkoví čas)";
    }
    const std::string &gap = racer.gapText;
    const std::size_t open = gap.find('[');
    if (open == std::string::npos)
        return gap;
    // "2 [ 0:21:500 ]": from two places after "[" to the blank before "]".
    const std::size_t close = gap.find(']');
    const std::size_t start = open + 2;
    const std::size_t end = close == std::string::npos || close == 0 ? 0 : close - 1;
    const std::string time = end > start ? gap.substr(start, end - start) : std::string();
    return time + " (ztráty)";
}

// A name read from a settings file may hold a byte that Windows-1250 leaves
// undefined, decoded as U+FFFD. It stands for a character that is lost
// already; written as "?", it must not cost the race its results.
std::string withUndefinedBytesAsQuestionMarks(std::string text)
{
    constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";
    for (std::size_t at = text.find(kReplacementCharacter); at != std::string::npos;
         at = text.find(kReplacementCharacter, at + 1))
        text.replace(at, kReplacementCharacter.size(), "?");
    return text;
}

} // namespace

std::string resultsText(const Race &race)
{
    std::string text(kHeader);
    for (const RacerState &racer : race.racers) {
        if (racer.nameText == "-1")
            continue;
        text += "\r\n";
        text += quoted(racer.nameText) + ',';
        text += quoted(racer.rankText) + ',';
        text += quoted(resultField(racer, race.state.raceElapsedMs)) + ',';
        text += quoted(racer.bestLapTimeText + " [m:s:ms]") + ',';
        text += quoted(racer.bestSpeedText + " [km/h]");
    }
    return text;
}

std::string reportPathBeside(const std::string &resultsPath)
{
    const std::size_t nameStart = resultsPath.rfind('/') + 1; // 0 without a folder
    const std::size_t dot = resultsPath.rfind('.');
    // A dot that begins the name (".csv") starts no extension.
    const bool hasExtension = dot != std::string::npos && dot > nameStart;
    const std::string report = (hasExtension ? resultsPath.substr(0, dot) : resultsPath) + ".html";
    // Results saved as "x.html" must not be replaced by their own report.
    return report == resultsPath ? resultsPath + ".html" : report;
}

void offerRaceResults(const Race &race, SettingsUi &ui, const BesideReport &besideReport)
{
    const Message question{"Otázka", "Závod již skončil. Přejete si výsledky uložit", MessageButtons::YesNo,
                           MessageIcon::Question};
    if (ui.showMessage(question) != MessageAnswer::Yes)
        return;
    const std::optional<std::string> path = ui.chooseFileToSave(FileKind::Results);
    if (!path)
        return;
    const std::optional<std::string> bytes = utf8ToCp1250(withUndefinedBytesAsQuestionMarks(resultsText(race)));
    if (!bytes || !ui.writeFile(*path, *bytes)) {
        ui.showMessage({"Chyba", "Chyba pri vytváření herních výsledků!", MessageButtons::Ok, MessageIcon::Error});
        return;
    }
    const std::optional<std::string> report = besideReport ? besideReport() : std::nullopt;
    const std::string reportPath = reportPathBeside(*path);
    if (report && !ui.writeFile(reportPath, *report))
        ui.showMessage({"Varování",
                        "Výsledky jsou uloženy, ale zprávu o závodě nelze zapsat do souboru " + reportPath + ".",
                        MessageButtons::Ok, MessageIcon::Warning});
}
