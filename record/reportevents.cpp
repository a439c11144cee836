#include "record/reportevents.h"

#include "record/htmltext.h"
#include "record/reportformat.h"

std::string eventText(const EventEntry &event)
{
    switch (event.kind) {
    case EventKind::StartSignal:
    case EventKind::StartCrossing: return {};
    case EventKind::FalseStart:
        if (event.detail == "yes")
            return "předčasný start, závod pokračuje";
        return event.detail == "no" ? "předčasný start, program ukončen" : "předčasný start";
    case EventKind::OffTrack:
        return event.detail.empty() ? "vyjetí z dráhy" : "vyjetí z dráhy (" + event.detail + ". v řadě)";
    case EventKind::FuelLow: return "dochází palivo";
    case EventKind::FuelEmpty: return "prázdná nádrž";
    case EventKind::DisqualifyRequested: return "žádost o diskvalifikaci";
    case EventKind::Disqualified: return "diskvalifikace";
    case EventKind::ReadmitRequested: return "žádost o návrat do závodu";
    case EventKind::Readmitted: return "návrat do závodu";
    case EventKind::Finished: return "cíl";
    }
    return {};
}

void writeEvents(std::string &html, const RaceLog &log)
{
    std::string rows;
    for (const EventEntry &event : log.events) {
        const std::string text = eventText(event);
        if (text.empty())
            continue;
        const bool seatEvent = event.seat >= 0 && event.seat < static_cast<int>(log.racers.size());
        rows += "<tr class=\"event\"><td>" + std::to_string(event.lap) + "</td><td class=\"name\">";
        if (seatEvent) {
            const std::string &name = log.racers[static_cast<std::size_t>(event.seat)].name;
            rows += swatchHtml(event.seat) + htmlEscaped(seatName(event.seat, name));
        }
        rows += "</td><td class=\"event\">" + htmlEscaped(text) + "</td></tr>";
    }
    html += "<section id=\"udalosti\"><h2>Události</h2>";
    if (rows.empty()) {
        html += "<p>Žádné události.</p></section>";
        return;
    }
    html += "<div class=\"scroll\"><table class=\"events\"><thead><tr><th>Kolo</th><th class=\"name\">Závodník</th>"
            "<th class=\"name\">Událost</th></tr></thead><tbody>"
            + rows + "</tbody></table></div></section>";
}
