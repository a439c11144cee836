// What the cells of the race table show, as plain rules: which racer text a
// column shows and how, the unit band and its label, which picture stands for
// a tank state or a flag code, and where the row's two action buttons go.
#pragma once

#include "engine/geometry.h"
#include "engine/racestate.h"

#include <array>
#include <string>
#include <string_view>

inline constexpr std::string_view kEmptySeatName = "-1";
inline constexpr int kUnitBandHeight = 30;
inline constexpr int kFastestPlausibleSpeedKmh = 2300;
inline constexpr std::string_view kImplausibleSpeedText = "- ?rychlost -";
/// The speed columns: the last lap's speed and the top speed.
inline constexpr int kLastSpeedColumn = 5;
inline constexpr int kTopSpeedColumn = 7;

/// Whether the seat takes part in the race (its name cell is not "-1").
bool seatInUse(const RacerState &racer);

/// The seat's text for table column \a column (1 to 10).
const std::string &cellText(const RacerState &racer, int column);

/// The text a value cell shows: the racer's text, except that a speed above
/// 2300 km/h (columns 5 and 7) is a measuring fault and shows "- ?rychlost -".
std::string shownValueText(const RacerState &racer, int column);

/// Height of the unit band under the value: 30 px in columns 4 to 8, grown
/// by \a scale on a tall screen.
int unitBandHeight(int column, double scale = 1.0);
/// The unit label of columns 4 to 8; empty elsewhere.
std::string_view unitLabel(int column);
/// Columns whose values are drawn bold.
bool isBoldColumn(int column);

/// Picture resource numbers; 0 means no picture is drawn.
int flagPictureResource(std::string_view flagCode);
int tankPictureResource(std::string_view tankText);

inline constexpr int kResumeButtonResource = 132;
inline constexpr int kDisqualifyButtonResource = 133;
inline constexpr int kActionButtonSize = 34;

struct ActionButton {
    int command;  ///< sent to the engine's racer buttons
    int resource; ///< picture shown on the button
    Rect geometry;
};

/// The two buttons of seat \a seat whose action cell is \a cell: centred on
/// the cell's quarter and three-quarter height, "GO" above, disqualify below;
/// \a buttonSize square (grown on a tall screen).
std::array<ActionButton, 2> actionButtons(int seat, const Rect &cell, int buttonSize = kActionButtonSize);
