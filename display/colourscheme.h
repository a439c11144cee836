// The table's three colour schemes (border, fill A, fill B, text), the
// platform's packed colour form and the striped background derived from it.
#pragma once

#include "display/tablelayout.h"
#include "engine/geometry.h"

#include <cstdint>

struct ColourScheme {
    Rgb border;
    Rgb fillA;
    Rgb fillB;
    Rgb text;
};

inline constexpr Rgb kWhite{255, 255, 255};

/// The scheme selected by the setting `colourScheme`. Values other than 0, 1
/// and 2 come only from a hand-edited file; they paint in scheme 0.
const ColourScheme &colourScheme(int index);

/// The colour as 0x00BBGGRR.
std::uint32_t packedColour(Rgb colour);
Rgb unpackedColour(std::uint32_t packed);

/// The background stripe of pixel line \a line: the border colour on even
/// lines, the packed border value halved as one number on odd lines.
Rgb stripeColour(const ColourScheme &scheme, int line);

/// The fill of a column's cells.
Rgb fillColour(const ColourScheme &scheme, ColumnFill fill);
