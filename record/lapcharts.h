// The report's two charts of a race, as inline SVG: lap times over lap
// number, one line per racer with its best lap marked, and the lap chart of
// positions after each lap. Each racer keeps the colour of its seat.
#pragma once

#include "record/racestandings.h"

#include <optional>
#include <string>

struct LapTimeChart {
    std::string svg;
    /// Set when some laps (a car off the track, a stop) were longer than the
    /// chart shows: they are drawn on its top edge, at this many ms.
    std::optional<std::int32_t> ceilingMs;
};

LapTimeChart lapTimeChart(const RaceStandings &standings);
std::string positionChartSvg(const RaceStandings &standings);
