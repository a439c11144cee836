// A line chart written as inline SVG: axes with round tick values, one
// polyline per series, optional marked points. It scales with the page
// (viewBox, no fixed size) and needs neither script nor fonts from outside.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct ChartPoint {
    double x = 0;
    double y = 0;
};

struct ChartSeries {
    std::string cssClass;              ///< e.g. "seat-3", for tests and styling
    std::string colour;                ///< CSS colour
    /// Runs of joined points; a new run starts after a gap in the data.
    std::vector<std::vector<ChartPoint>> runs;
    std::vector<ChartPoint> marks;     ///< drawn as dots on the line
};

struct LineChart {
    std::string cssClass;              ///< the svg element's class
    std::string title;                 ///< read out by screen readers; plain text
    std::string xTitle;
    std::string yTitle;
    double xMin = 0, xMax = 1;
    double yMin = 0, yMax = 1;
    bool yDownward = false;            ///< the lowest value at the top (positions)
    bool integerTicks = false;         ///< ticks on whole numbers only
    std::function<std::string(double)> yTickText;
    std::vector<ChartSeries> series;
};

std::string lineChartSvg(const LineChart &chart);

/// Round tick values covering [low, high]: about \a wanted of them, in steps
/// of 1, 2 or 5 times a power of ten (at least 1 when \a integers).
std::vector<double> roundTicks(double low, double high, int wanted, bool integers);
