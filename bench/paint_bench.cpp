// How long the race table takes to paint at 1920 x 1080 with eight racers in
// the race: a full paint, the name column's refresh and one row's repaint;
// and the full paint on a 3840 x 2160 screen, its fixed sizes grown.
#include "config/racesettings.h"
#include "display/racerlogos.h"
#include "display/racetablepainter.h"
#include "display/tablefonts.h"
#include "display/tablelayout.h"
#include "display/tablepictures.h"
#include "engine/duration.h"
#include "engine/racestate.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

namespace {

RaceSettings eightRacers()
{
    RaceSettings settings;
    for (int seat = 0; seat < kSeatCount; ++seat)
        settings.racerName[seat] = "Závodník číslo " + std::to_string(seat + 1);
    settings.racerArrangement = "0";
    settings.colourScheme = "0";
    return settings;
}

// Mid-race cells: the values a lap leaves in every column.
void fillMidRace(Race &race)
{
    for (int seat = 0; seat < kSeatCount; ++seat) {
        RacerState &racer = race.racers[seat];
        racer.rankText = std::to_string(seat + 1);
        racer.lapsText = std::to_string(40 - seat);
        racer.lastLapTimeText = formatDuration(6500 + 37 * seat);
        racer.lastLapSpeedText = std::to_string(180 + seat);
        racer.bestLapTimeText = formatDuration(6100 + 41 * seat);
        racer.bestSpeedText = std::to_string(195 + seat);
        racer.gapText = seat == 0 ? "- průběžné vedení -" : std::to_string(seat / 3) + " [ " + formatDuration(900 * seat) + " ]";
        racer.tankText = std::to_string(8 - seat % 7);
        racer.flagCode = std::to_string(seat % 3 == 2 ? 5 : 1);
    }
    race.state.slidePhase = 4;
    race.state.raceScreenReady = true;
}

struct PaintedTable {
    explicit PaintedTable(QSize size = {1920, 1080})
        : settings(eightRacers()), race(settings), painter(race, settings, logos, pictures),
          image(size, QImage::Format_RGB32)
    {
        fillMidRace(race);
        painter.setSizeScale(tableSizeScale(size.height()));
        paint(); // the first paint loads pictures and fonts
    }

    PaintResult paint()
    {
        QPainter surface(&image);
        return painter.paint(surface, image.size());
    }

    RaceSettings settings;
    Race race;
    RacerLogos logos;
    TablePictures pictures;
    RaceTablePainter painter;
    QImage image;
};

void checkPainted(benchmark::State &state, const PaintResult &result)
{
    if (result.outcome != PaintOutcome::Completed)
        state.SkipWithError("the table did not paint");
}

void fullPaint(benchmark::State &state)
{
    PaintedTable table;
    for (auto _ : state)
        checkPainted(state, table.paint());
}

void fullPaint4k(benchmark::State &state)
{
    PaintedTable table({3840, 2160});
    for (auto _ : state)
        checkPainted(state, table.paint());
}

void columnRefresh(benchmark::State &state)
{
    PaintedTable table;
    table.race.state.logoPhase = 1; // names shown: every name cell is redrawn
    for (auto _ : state) {
        table.race.state.refreshColumn = 2;
        checkPainted(state, table.paint());
    }
}

// A lap of seat 3: its row changes, and so do two other seats' places and gaps.
void rowRepaint(benchmark::State &state)
{
    PaintedTable table;
    int lap = 0;
    for (auto _ : state) {
        ++lap;
        RacerState &racer = table.race.racers[3];
        racer.lapsText = std::to_string(lap);
        racer.lastLapTimeText = formatDuration(6000 + lap % 997);
        racer.lastLapSpeedText = std::to_string(170 + lap % 40);
        table.race.racers[2].rankText = lap % 2 ? "3" : "4";
        table.race.racers[2].gapText = "1 [ " + formatDuration(lap % 5000) + " ]";
        table.race.state.repaintRow = 3;
        checkPainted(state, table.paint());
    }
}

double slowest(const std::vector<double> &runs)
{
    return *std::max_element(runs.begin(), runs.end());
}

double fastest(const std::vector<double> &runs)
{
    return *std::min_element(runs.begin(), runs.end());
}

void paintStatistics(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Unit(benchmark::kMillisecond)
        ->Repetitions(12)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("min", fastest)
        ->ComputeStatistics("max", slowest);
}

} // namespace

BENCHMARK(fullPaint)->Apply(paintStatistics);
BENCHMARK(fullPaint4k)->Apply(paintStatistics);
BENCHMARK(columnRefresh)->Apply(paintStatistics);
BENCHMARK(rowRepaint)->Apply(paintStatistics);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    allowLargeCachedGlyphs(); // as the program does
    QGuiApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
