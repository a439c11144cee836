#include "record/lapcharts.h"

#include "record/racercolours.h"
#include "record/svgchart.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// A lap this much slower than the middle lap is a stop, not driving: the
// chart keeps its scale for the laps that were driven.
constexpr double kCeilingOverMedian = 2.0;

std::int64_t lastLapNumber(const RaceStandings &standings)
{
    std::int64_t last = 1;
    for (const RacerStanding &racer : standings.racers)
        if (!racer.laps.empty())
            last = std::max(last, racer.laps.back().lap);
    return last;
}

std::string secondsText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    std::string czech = text;
    std::replace(czech.begin(), czech.end(), '.', ',');
    return czech;
}

ChartSeries seriesOf(const RacerStanding &racer)
{
    ChartSeries series;
    series.cssClass = "seat-" + std::to_string(racer.seat + 1);
    series.colour = std::string(racerColour(racer.seat));
    return series;
}

LineChart chartOver(const RaceStandings &standings)
{
    LineChart chart;
    chart.xTitle = "kolo";
    chart.xMin = 1;
    chart.xMax = static_cast<double>(lastLapNumber(standings));
    return chart;
}

} // namespace

LapTimeChart lapTimeChart(const RaceStandings &standings)
{
    std::vector<std::int32_t> times;
    for (const RacerStanding &racer : standings.racers)
        for (const LapEntry &lap : racer.laps)
            times.push_back(std::max(lap.lapMs, 0));
    LapTimeChart result;
    LineChart chart = chartOver(standings);
    chart.cssClass = "lap-times";
    chart.title = "Časy kol";
    chart.yTitle = "čas kola [s]";
    chart.yTickText = secondsText;
    if (!times.empty()) {
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        const double ceiling = std::max<double>(times.front() + 1, median * kCeilingOverMedian);
        if (times.back() > ceiling)
            result.ceilingMs = static_cast<std::int32_t>(ceiling);
        const double top = std::min<double>(times.back(), ceiling);
        const double margin = std::max((top - times.front()) * 0.05, 50.0);
        chart.yMin = std::max(0.0, times.front() - margin) / 1000;
        chart.yMax = (top + margin) / 1000;
    }
    const double shownTop = result.ceilingMs ? *result.ceilingMs / 1000.0 : chart.yMax;
    for (const RacerStanding &racer : standings.racers) {
        if (racer.laps.empty())
            continue;
        ChartSeries series = seriesOf(racer);
        series.runs.emplace_back();
        for (const LapEntry &lap : racer.laps)
            series.runs.back().push_back(
                {static_cast<double>(lap.lap), std::clamp(lap.lapMs / 1000.0, 0.0, shownTop)});
        if (racer.bestLapIndex)
            series.marks.push_back(series.runs.back()[*racer.bestLapIndex]);
        chart.series.push_back(std::move(series));
    }
    result.svg = lineChartSvg(chart);
    return result;
}

std::string positionChartSvg(const RaceStandings &standings)
{
    LineChart chart = chartOver(standings);
    chart.cssClass = "positions";
    chart.title = "Pořadí po kolech";
    chart.yTitle = "pořadí";
    chart.yDownward = true;
    chart.integerTicks = true;
    std::int32_t lowest = 1;
    for (const RacerStanding &racer : standings.racers) {
        if (racer.laps.empty())
            continue;
        ChartSeries series = seriesOf(racer);
        // A lap after which the racer had no place (disqualified) breaks the line.
        series.runs.emplace_back();
        for (const LapEntry &lap : racer.laps) {
            if (lap.position <= 0) {
                if (!series.runs.back().empty())
                    series.runs.emplace_back();
                continue;
            }
            lowest = std::max(lowest, lap.position);
            series.runs.back().push_back({static_cast<double>(lap.lap), static_cast<double>(lap.position)});
        }
        chart.series.push_back(std::move(series));
    }
    chart.yMin = 1;
    chart.yMax = lowest;
    return lineChartSvg(chart);
}
