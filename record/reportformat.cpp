#include "record/reportformat.h"

#include "engine/duration.h"
#include "record/racercolours.h"

#include <cstdio>
#include <limits>

std::string durationText(std::int64_t ms)
{
    if (ms >= std::numeric_limits<std::int32_t>::min() && ms <= std::numeric_limits<std::int32_t>::max())
        return formatDuration(static_cast<std::int32_t>(ms));
    // Only a damaged journal gets here: plain milliseconds are still exact.
    return std::to_string(ms) + " ms";
}

std::string seatName(int seat, const std::string &name)
{
    return name.empty() ? "Závodník " + std::to_string(seat + 1) : name;
}

std::string swatchHtml(int seat)
{
    return "<span class=\"swatch\" style=\"background:" + std::string(racerColour(seat)) + "\"></span>";
}

std::string outcomeText(RacerOutcome outcome)
{
    switch (outcome) {
    case RacerOutcome::Finished: return "dokončil";
    case RacerOutcome::Disqualified: return "diskvalifikován";
    case RacerOutcome::Running: return "nedokončil";
    case RacerOutcome::NotStarted: return "nestartoval";
    }
    return {};
}

std::string raceEndText(RaceEnd end)
{
    switch (end) {
    case RaceEnd::Finished: return "dokončen";
    case RaceEnd::Open: return "záznam bez konce (závod ještě běží, nebo byl přerušen)";
    case RaceEnd::Interrupted: return "přerušen (program skončil nečekaně)";
    case RaceEnd::Closed: return "ukončen zavřením programu";
    case RaceEnd::Signalled: return "ukončen systémem";
    }
    return {};
}

namespace {

std::string lapsWord(std::int64_t laps)
{
    if (laps == 1)
        return "kolo";
    return laps >= 2 && laps <= 4 ? "kola" : "kol";
}

} // namespace

std::string gapText(const RacerStanding &racer)
{
    if (racer.position <= 1)
        return {};
    // A readmitted racer can be placed behind one it was ahead of on the clock.
    const std::string time = !racer.gapMs ? std::string("?")
                             : *racer.gapMs < 0 ? durationText(*racer.gapMs)
                                                : "+" + durationText(*racer.gapMs);
    if (racer.lapsBehind <= 0)
        return time;
    std::string text = "+" + std::to_string(racer.lapsBehind) + ' ' + lapsWord(racer.lapsBehind);
    if (racer.gapMs)
        text += " (" + time + ')';
    return text;
}

std::string czechDateTime(const std::string &startedAt)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char end = 0;
    if (std::sscanf(startedAt.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour, &minute, &second,
                    &end)
        != 6)
        return startedAt;
    char text[48];
    std::snprintf(text, sizeof text, "%d. %d. %d %02d:%02d:%02d", day, month, year, hour, minute, second);
    return text;
}
