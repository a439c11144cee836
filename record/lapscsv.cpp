#include "record/lapscsv.h"

#include "record/racestandings.h"
#include "record/reportformat.h"

#include <algorithm>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kHeader =
    "číslo,závodník,kolo,čas kola [ms],čas kola,rychlost [km/h],pořadí,časová značka zařízení [ms]\r\n";

} // namespace

std::string csvField(std::string_view text)
{
    std::string field;
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        field += '\'';
    field += text;
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string lapsCsv(const RaceLog &log)
{
    // Only counted laps, as the report shows them, in the order counted.
    struct Row {
        std::size_t order;
        const RacerStanding *racer;
        const LapEntry *lap;
    };
    std::vector<Row> rows;
    const RaceStandings standings = computeStandings(log);
    for (const RacerStanding &racer : standings.racers)
        for (std::size_t i = 0; i < racer.laps.size(); ++i)
            rows.push_back({racer.journalOrder[i], &racer, &racer.laps[i]});
    std::sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) { return a.order < b.order; });

    std::string csv(kByteOrderMark);
    csv += kHeader;
    for (const auto &[order, racer, lap] : rows) {
        csv += std::to_string(racer->seat + 1) + ',' + csvField(racerName(*racer)) + ',' + std::to_string(lap->lap)
               + ',' + std::to_string(lap->lapMs) + ',' + durationText(lap->lapMs) + ','
               + std::to_string(lap->speedKmh) + ',' + (lap->position > 0 ? std::to_string(lap->position) : "") + ','
               + std::to_string(lap->hardwareMs) + "\r\n";
    }
    return csv;
}
