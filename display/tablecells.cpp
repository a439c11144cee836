#include "display/tablecells.h"

#include "config/racesettings.h"
#include "display/tablelayout.h"

bool seatInUse(const RacerState &racer)
{
    return racer.nameText != kEmptySeatName;
}

const std::string &cellText(const RacerState &racer, int column)
{
    switch (column) {
    case 1: return racer.rankText;
    case 2: return racer.nameText;
    case 3: return racer.lapsText;
    case 4: return racer.lastLapTimeText;
    case kLastSpeedColumn: return racer.lastLapSpeedText;
    case 6: return racer.bestLapTimeText;
    case kTopSpeedColumn: return racer.bestSpeedText;
    case 8: return racer.gapText;
    case 9: return racer.tankText;
    default: return racer.flagCode;
    }
}

std::string shownValueText(const RacerState &racer, int column)
{
    const std::string &text = cellText(racer, column);
    if ((column == kLastSpeedColumn || column == kTopSpeedColumn) && settingToInt(text) > kFastestPlausibleSpeedKmh)
        return std::string(kImplausibleSpeedText);
    return text;
}

int unitBandHeight(int column, double scale)
{
    return column >= 4 && column <= 8 ? scaledSize(kUnitBandHeight, scale) : 0;
}

std::string_view unitLabel(int column)
{
    switch (column) {
    case 4:
    case 6: return "m:s:ms";
    case kLastSpeedColumn:
    case kTopSpeedColumn: return "km/h";
    case 8: return "kola [ m:s:ms ]";
    default: return {};
    }
}

bool isBoldColumn(int column)
{
    return column == 1 || column == 3;
}

int flagPictureResource(std::string_view flagCode)
{
    const int code = settingToInt(flagCode);
    return code >= 0 && code <= 7 ? 115 + code : 0;
}

int tankPictureResource(std::string_view tankText)
{
    const int tank = settingToInt(tankText);
    return tank >= 1 && tank <= 10 ? 122 + tank : 0;
}

std::array<ActionButton, 2> actionButtons(int seat, const Rect &cell, int buttonSize)
{
    const int half = buttonSize / 2;
    const int left = cell.left + cell.width() / 2 - half;
    const int right = cell.right - cell.width() / 2 + half;
    const int quarter = cell.height() / 4;
    return {{
        {3100 + 2 * seat, kResumeButtonResource,
         {left, cell.top + quarter - half, right, cell.top + quarter + half}},
        {3101 + 2 * seat, kDisqualifyButtonResource,
         {left, cell.top + 3 * quarter - half, right, cell.top + 3 * quarter + half}},
    }};
}
