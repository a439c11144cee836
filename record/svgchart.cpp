#include "record/svgchart.h"

#include "record/htmltext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kWidth = 800;
constexpr double kHeight = 360;
constexpr double kLeft = 64;
constexpr double kRight = 16;
constexpr double kTop = 14;
constexpr double kBottom = 46;

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string wholeNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

// Maps chart values to the drawing area.
struct Frame {
    const LineChart &chart;

    double x(double value) const
    {
        const double span = chart.xMax - chart.xMin;
        const double share = span > 0 ? (value - chart.xMin) / span : 0.5;
        return kLeft + share * (kWidth - kLeft - kRight);
    }
    double y(double value) const
    {
        const double span = chart.yMax - chart.yMin;
        double share = span > 0 ? (value - chart.yMin) / span : 0.5;
        if (!chart.yDownward)
            share = 1 - share;
        return kTop + share * (kHeight - kTop - kBottom);
    }
};

void writeAxes(std::string &svg, const Frame &frame)
{
    const LineChart &chart = frame.chart;
    const double plotBottom = kHeight - kBottom;
    svg += "<g class=\"axes\">";
    for (double tick : roundTicks(chart.yMin, chart.yMax, 6, chart.integerTicks)) {
        const std::string y = number(frame.y(tick));
        svg += "<line class=\"grid\" x1=\"" + number(kLeft) + "\" x2=\"" + number(kWidth - kRight) + "\" y1=\"" + y
               + "\" y2=\"" + y + "\"/>";
        const std::string label = chart.yTickText ? chart.yTickText(tick) : wholeNumber(tick);
        svg += "<text x=\"" + number(kLeft - 6) + "\" y=\"" + y + "\" text-anchor=\"end\" dy=\"0.35em\">"
               + htmlEscaped(label) + "</text>";
    }
    for (double tick : roundTicks(chart.xMin, chart.xMax, 10, true)) {
        const std::string x = number(frame.x(tick));
        svg += "<line class=\"tick\" x1=\"" + x + "\" x2=\"" + x + "\" y1=\"" + number(plotBottom) + "\" y2=\""
               + number(plotBottom + 5) + "\"/>";
        svg += "<text x=\"" + x + "\" y=\"" + number(plotBottom + 18) + "\" text-anchor=\"middle\">"
               + wholeNumber(tick) + "</text>";
    }
    svg += "<line class=\"axis\" x1=\"" + number(kLeft) + "\" x2=\"" + number(kWidth - kRight) + "\" y1=\""
           + number(plotBottom) + "\" y2=\"" + number(plotBottom) + "\"/>";
    svg += "<text class=\"axis-title\" x=\"" + number((kLeft + kWidth - kRight) / 2) + "\" y=\""
           + number(kHeight - 6) + "\" text-anchor=\"middle\">" + htmlEscaped(chart.xTitle) + "</text>";
    svg += "<text class=\"axis-title\" transform=\"translate(14 " + number((kTop + plotBottom) / 2)
           + ") rotate(-90)\" text-anchor=\"middle\">" + htmlEscaped(chart.yTitle) + "</text>";
    svg += "</g>";
}

void writeSeries(std::string &svg, const Frame &frame, const ChartSeries &series)
{
    svg += "<g class=\"series " + htmlEscaped(series.cssClass) + "\" stroke=\"" + htmlEscaped(series.colour)
           + "\" fill=\"" + htmlEscaped(series.colour) + "\">";
    for (const std::vector<ChartPoint> &run : series.runs) {
        if (run.empty())
            continue;
        svg += "<polyline fill=\"none\" points=\"";
        for (const ChartPoint &point : run)
            svg += number(frame.x(point.x)) + ',' + number(frame.y(point.y)) + ' ';
        svg.back() = '"';
        svg += "/>";
    }
    for (const ChartPoint &mark : series.marks)
        svg += "<circle r=\"4\" cx=\"" + number(frame.x(mark.x)) + "\" cy=\"" + number(frame.y(mark.y)) + "\"/>";
    svg += "</g>";
}

} // namespace

std::vector<double> roundTicks(double low, double high, int wanted, bool integers)
{
    if (!(high > low) || wanted < 1)
        return {low};
    const double rough = (high - low) / wanted;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        step = factor * power;
        if (step >= rough)
            break;
    }
    if (integers)
        step = std::max(1.0, std::round(step));
    // Counted rather than stepped, so a step lost in the rounding of a huge
    // value cannot loop; the tolerance keeps ends rounding puts a hair outside.
    const double first = std::ceil(low / step - 1e-9) * step;
    const double count = std::min(std::floor((high - first) / step + 1e-9) + 1, 1000.0);
    std::vector<double> ticks;
    for (int i = 0; i < count; ++i)
        ticks.push_back(first + i * step);
    return ticks;
}

std::string lineChartSvg(const LineChart &chart)
{
    const Frame frame{chart};
    std::string svg = "<svg class=\"chart " + htmlEscaped(chart.cssClass)
                      + "\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + wholeNumber(kWidth) + ' '
                      + wholeNumber(kHeight) + "\" role=\"img\" aria-label=\"" + htmlEscaped(chart.title)
                      + "\"><title>" + htmlEscaped(chart.title) + "</title>";
    writeAxes(svg, frame);
    for (const ChartSeries &series : chart.series)
        writeSeries(svg, frame, series);
    svg += "</svg>";
    return svg;
}
