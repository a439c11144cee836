// The tank gauges of the race table's tank column: the 52 x 69 gauge of
// seven bars (two red at the bottom, one yellow, four green) lit from the
// bottom up to a given count, and the 70 x 70 full gauge of eight lit bars
// in a green glow.
#pragma once

class QPainter;

inline constexpr int kGaugeBars = 7;

/// The seven-bar gauge with \a litBars (0 to 7) lit from the bottom.
void drawTankGauge(QPainter &painter, int litBars);

/// The eight-bar gauge, every bar lit, glowing.
void drawFullTankGauge(QPainter &painter);
