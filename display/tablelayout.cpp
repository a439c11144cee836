#include "display/tablelayout.h"

#include <cmath>

double tableSizeScale(int screenHeight)
{
    return screenHeight > kDesignScreenHeight ? static_cast<double>(screenHeight) / kDesignScreenHeight : 1.0;
}

int scaledSize(int size, double scale)
{
    return static_cast<int>(std::lround(size * scale));
}

std::array<int, kColumnCount> columnWidths(int clientWidth)
{
    std::array<bool, kColumnCount> fixed{};
    int remainingWidth = clientWidth;
    int fixedShare = 0;
    for (int i = 0; i < kColumnCount; ++i) {
        const TableColumn &column = kColumnTable[i];
        if (column.minimumWidth > clientWidth * column.percentage / 100.0) {
            fixed[i] = true;
            remainingWidth -= column.minimumWidth;
            fixedShare += column.percentage;
        }
    }

    std::array<int, kColumnCount> widths{};
    int x = 0;
    for (int i = 0; i < kColumnCount; ++i) {
        const TableColumn &column = kColumnTable[i];
        if (fixed[i]) {
            widths[i] = column.minimumWidth;
        } else {
            // The fixed columns' share is spread over the others.
            const int percentage = column.percentage + fixedShare * column.percentage / 100;
            widths[i] = static_cast<int>(percentage / 100.0 * remainingWidth);
        }
        if (i == kLastColumn)
            widths[i] = clientWidth - x;
        x += widths[i];
    }
    return widths;
}

Arrangement arrangementFromSetting(int value)
{
    return value >= 1 && value <= 4 ? static_cast<Arrangement>(value) : Arrangement::AllSeats;
}

TableRows tableRows(Arrangement arrangement, int activeRacerCount, int clientHeight, int headerHeight)
{
    TableRows rows;
    rows.headerHeight = headerHeight;
    rows.arrangement = arrangement;
    rows.activeRacerCount = activeRacerCount;
    rows.clientHeight = clientHeight;
    rows.rowSlots = arrangement == Arrangement::StretchActive ? activeRacerCount : 8;
    // With no racer in use the stretched arrangement has no rows to share the
    // height among: it shows the header alone.
    rows.rowHeight = rows.rowSlots > 0 ? (clientHeight - headerHeight) / rows.rowSlots : 0;
    if (arrangement == Arrangement::Bottom) {
        rows.tableTop = (8 - activeRacerCount) * rows.rowHeight;
    } else if (arrangement == Arrangement::Centred) {
        rows.tableTop = clientHeight / 2 - (rows.rowHeight * activeRacerCount + headerHeight) / 2;
        rows.rowSlots = activeRacerCount;
    }
    return rows;
}

bool TableRows::slotDrawn(int slot) const
{
    if (slot < 0 || slot >= rowSlots)
        return false;
    switch (arrangement) {
    case Arrangement::Centred:
    case Arrangement::Top:
    case Arrangement::Bottom: return slot < activeRacerCount;
    case Arrangement::AllSeats:
    case Arrangement::StretchActive: return true;
    }
    return true;
}

int TableRows::rowBottom(int slot) const
{
    bool stretched = false;
    switch (arrangement) {
    case Arrangement::AllSeats:
    case Arrangement::Top:
    case Arrangement::StretchActive: stretched = slot == rowSlots - 1; break;
    case Arrangement::Bottom: stretched = slot == activeRacerCount - 1 || slot == 7; break;
    case Arrangement::Centred: break;
    }
    return stretched ? clientHeight : rowTop(slot) + rowHeight;
}

bool TableRows::hasRows() const
{
    for (int slot = 0; slot < rowSlots; ++slot)
        if (slotDrawn(slot))
            return true;
    return false;
}
