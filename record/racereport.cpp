#include "record/racereport.h"

#include "record/htmltext.h"
#include "record/lapbests.h"
#include "record/lapcharts.h"
#include "record/racestandings.h"
#include "record/reportevents.h"
#include "record/reportformat.h"
#include "record/reportstyle.h"

#include <algorithm>

namespace {

std::string seatClass(int seat)
{
    return "seat-" + std::to_string(seat + 1);
}

std::size_t countedLaps(const RaceStandings &standings)
{
    std::size_t laps = 0;
    for (const RacerStanding &racer : standings.racers)
        laps += racer.laps.size();
    return laps;
}

bool endedEarly(RaceEnd end)
{
    return end == RaceEnd::Open || end == RaceEnd::Interrupted;
}

std::string causeText(StoppedPart::Cause cause)
{
    switch (cause) {
    case StoppedPart::Cause::DiskFull: return "disk byl plný";
    case StoppedPart::Cause::ReadOnly: return "disk byl jen pro čtení";
    case StoppedPart::Cause::Failure: break;
    }
    return "došlo k chybě disku";
}

/// One banner per part of the record that stopped, saying what it means for this page.
void writeStopped(std::string &html, const RaceLog &log)
{
    for (const StoppedPart &stopped : log.stopped) {
        const std::string when = " se zastavil po " + std::to_string(stopped.lapsBefore) + " kolech, protože "
                                 + causeText(stopped.cause) + ".";
        html += "<p class=\"banner damaged\">";
        if (stopped.part == StoppedPart::Part::LineCapture)
            html += "Záznam komunikace s hardwarem (line.capture)" + when + " Závod z něj nelze přehrát celý.";
        else if (log.countedByProgram)
            html += "Záznam závodu na disku" + when
                    + " Tato zpráva je sestavena z průběhu závodu, jak jej program počítal, a obsahuje všechna kola.";
        else
            html += "Záznam závodu" + when
                    + " Kola po této chvíli ve zprávě chybí; úplné pořadí je ve výsledkovém souboru, byl-li uložen.";
        html += "</p>";
    }
}

void writeRace(std::string &html, const RaceLog &log, const RaceStandings &standings)
{
    html += "<header><h1>Závod " + htmlEscaped(czechDateTime(log.startedAt)) + "</h1><dl class=\"race\">";
    html += "<dt>Trať</dt><dd>" + htmlEscaped(log.trackLength) + " m, měřítko 1:" + htmlEscaped(log.scale) + "</dd>";
    html += "<dt>Počet kol</dt><dd>" + htmlEscaped(log.lapsPerRide) + "</dd>";
    html += "<dt>Konec závodu</dt><dd class=\"race-end\">" + htmlEscaped(raceEndText(log.end)) + "</dd></dl>";
    if (endedEarly(log.end))
        html += std::string("<p class=\"banner interrupted\">")
                + (log.end == RaceEnd::Open ? "Záznam závodu nemá konec." : "Závod byl přerušen.")
                + " Zpráva ukazuje všechna zachovaná kola (" + std::to_string(countedLaps(standings)) + ").</p>";
    writeStopped(html, log);
    if (log.damagedLines > 0)
        html += "<p class=\"banner damaged\">Záznam závodu je poškozený (nečitelné řádky: "
                + std::to_string(log.damagedLines) + "). Zpráva ukazuje vše ostatní.</p>";
    if (log.unreadBytes > 0)
        html += "<p class=\"banner damaged\">Záznam závodu je příliš velký (nepřečtené bajty na konci: "
                + std::to_string(log.unreadBytes) + ").</p>";
    html += "</header>";
}

void writeStandings(std::string &html, const RaceLog &log, const RaceStandings &standings)
{
    html += "<section id=\"poradi\"><h2>";
    html += log.end == RaceEnd::Finished ? "Konečné pořadí" : "Pořadí";
    html += "</h2><div class=\"scroll\"><table class=\"standings\"><thead><tr><th>Poř.</th>"
            "<th class=\"name\">Závodník</th><th>Kola</th><th>Celkový čas</th><th>Ztráta na vítěze</th>"
            "<th>Nejrychlejší kolo</th><th>Max. rychlost [km/h]</th><th>Stav</th></tr></thead><tbody>";
    for (const RacerStanding &racer : standings.racers) {
        html += "<tr class=\"racer " + seatClass(racer.seat) + "\"><td class=\"position\">";
        html += racer.position > 0 ? std::to_string(racer.position) : std::string("–");
        html += "</td><td class=\"name\">" + swatchHtml(racer.seat) + htmlEscaped(racerName(racer)) + "</td><td>"
                + std::to_string(racer.laps.empty() ? 0 : racer.laps.back().lap) + "</td><td>";
        html += racer.totalMs ? durationText(*racer.totalMs) : "…";
        html += "</td><td>" + htmlEscaped(gapText(racer)) + "</td><td>";
        html += racer.bestLapIndex ? durationText(racer.laps[*racer.bestLapIndex].lapMs) : "…";
        html += "</td><td>";
        html += racer.laps.empty() ? "…" : std::to_string(racer.topSpeedKmh);
        html += "</td><td class=\"outcome\">" + outcomeText(racer.outcome) + "</td></tr>";
    }
    html += "</tbody></table></div><p class=\"note\">Celkový čas (od startovního průjezdu po poslední kolo) a "
            "ztráta na vítěze (od chvíle, kdy vítěz dokončil totéž kolo) jsou spočteny z časových značek "
            "měřicího zařízení, přesně na milisekundu; ze stejných značek měří ztráty i tabulka závodu a "
            "výsledkový soubor.</p></section>";
}

void writeLegend(std::string &html, const RaceStandings &standings)
{
    html += "<ul class=\"legend\">";
    for (const RacerStanding &racer : standings.racers)
        if (!racer.laps.empty())
            html += "<li>" + swatchHtml(racer.seat) + htmlEscaped(racerName(racer)) + "</li>";
    html += "</ul>";
}

void writeCharts(std::string &html, const RaceStandings &standings)
{
    const LapTimeChart lapTimes = lapTimeChart(standings);
    // On a narrow screen a chart keeps a legible size and scrolls sideways.
    html += "<section id=\"grafy\"><h2>Časy kol</h2><figure><div class=\"scroll\">" + lapTimes.svg + "</div>";
    writeLegend(html, standings);
    html += "<figcaption class=\"note\">Tečka značí nejrychlejší kolo závodníka.";
    if (lapTimes.ceilingMs)
        html += " Kola delší než " + durationText(*lapTimes.ceilingMs) + " jsou zakreslena na horním okraji.";
    html += "</figcaption></figure><h2>Pořadí po kolech</h2><figure><div class=\"scroll\">"
            + positionChartSvg(standings) + "</div>";
    writeLegend(html, standings);
    html += "</figure></section>";
}

std::string markHtml(LapMark mark)
{
    switch (mark) {
    case LapMark::None: return {};
    case LapMark::PersonalBest: return " <span class=\"mark\" title=\"nový osobní rekord\">OR</span>";
    case LapMark::TrackRecord: return " <span class=\"mark\" title=\"nový rekord dráhy\">RD</span>";
    }
    return {};
}

// \a lapMarks: one per journal lap; nothing when the bests before the race are unknown.
void writeLaps(std::string &html, const RaceStandings &standings, const std::optional<std::vector<LapMark>> &lapMarks)
{
    html += "<section id=\"kola\"><h2>Všechna kola</h2><p class=\"note\">Tučně: nejrychlejší kolo závodníka. "
            "★ a podbarvení: nejrychlejší kolo závodu.";
    if (lapMarks && std::any_of(lapMarks->begin(), lapMarks->end(), [](LapMark m) { return m != LapMark::None; }))
        html += " OR: nový osobní rekord závodníka na této dráze, RD: nový rekord dráhy (proti závodům před tímto).";
    html += "</p><div class=\"lap-tables\">";
    for (const RacerStanding &racer : standings.racers) {
        if (racer.laps.empty())
            continue;
        html += "<div class=\"racer-laps " + seatClass(racer.seat) + "\"><h3>" + swatchHtml(racer.seat)
                + htmlEscaped(racerName(racer)) + "</h3><table><thead><tr><th>Kolo</th><th>Čas kola</th>"
                  "<th>km/h</th><th>Poř.</th></tr></thead><tbody>";
        for (std::size_t i = 0; i < racer.laps.size(); ++i) {
            const LapEntry &lap = racer.laps[i];
            const bool best = racer.bestLapIndex == i;
            const bool fastest = standings.fastestLap && standings.fastestLap->seat == racer.seat
                                 && standings.fastestLap->lapIndex == i;
            std::string marks = best ? "best" : "";
            if (fastest)
                marks += marks.empty() ? "fastest" : " fastest";
            // The archive's record pages link to a lap by this id.
            html += "<tr id=\"kolo-" + std::to_string(racer.seat + 1) + "-" + std::to_string(lap.lap) + "\"";
            html += marks.empty() ? ">" : " class=\"" + marks + "\">";
            html += "<td>" + std::to_string(lap.lap) + "</td><td>" + (fastest ? "★ " : "")
                    + durationText(lap.lapMs) + (lapMarks ? markHtml((*lapMarks)[racer.journalOrder[i]]) : "")
                    + "</td><td>" + std::to_string(lap.speedKmh) + "</td><td>";
            html += lap.position > 0 ? std::to_string(lap.position) : std::string("–");
            html += "</td></tr>";
        }
        html += "</tbody></table></div>";
    }
    html += "</div></section>";
}

} // namespace

std::string raceReportHtml(const RaceLog &log, const RecordsBefore *records)
{
    const RaceStandings standings = computeStandings(log);
    std::string html;
    html.reserve(4096 + countedLaps(standings) * 160);
    html += "<!DOCTYPE html>\n<html lang=\"cs\"><head><meta charset=\"utf-8\">"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
            "<title>Závod " + htmlEscaped(czechDateTime(log.startedAt)) + " – Tramelo</title><style>";
    html += kReportStyle;
    html += "</style></head><body>";
    writeRace(html, log, standings);
    writeStandings(html, log, standings);
    writeCharts(html, standings);
    writeLaps(html, standings, records ? std::optional(markedLaps(log, *records)) : std::nullopt);
    writeEvents(html, log);
    html += "<footer class=\"note\">Zprávu vytvořil program Tramelo ze záznamu závodu.</footer></body></html>\n";
    return html;
}
