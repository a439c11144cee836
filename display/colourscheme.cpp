#include "display/colourscheme.h"

#include <array>

namespace {

constexpr std::array<ColourScheme, 3> kSchemes = {{
    {{80, 197, 254}, {143, 220, 252}, {200, 238, 255}, {34, 42, 128}},  // "modré"
    {{250, 133, 151}, {252, 186, 196}, {254, 222, 227}, {153, 62, 49}}, // "červené"
    {{87, 236, 70}, {168, 244, 159}, {223, 252, 220}, {15, 120, 12}},   // "zelené"
}};

} // namespace

const ColourScheme &colourScheme(int index)
{
    return index >= 0 && index < static_cast<int>(kSchemes.size()) ? kSchemes[index] : kSchemes[0];
}

std::uint32_t packedColour(Rgb colour)
{
    return std::uint32_t{colour.red} | std::uint32_t{colour.green} << 8 | std::uint32_t{colour.blue} << 16;
}

Rgb unpackedColour(std::uint32_t packed)
{
    return {static_cast<std::uint8_t>(packed & 0xFF), static_cast<std::uint8_t>(packed >> 8 & 0xFF),
            static_cast<std::uint8_t>(packed >> 16 & 0xFF)};
}

Rgb stripeColour(const ColourScheme &scheme, int line)
{
    return line % 2 == 0 ? scheme.border : unpackedColour(packedColour(scheme.border) / 2);
}

Rgb fillColour(const ColourScheme &scheme, ColumnFill fill)
{
    switch (fill) {
    case ColumnFill::FillA: return scheme.fillA;
    case ColumnFill::FillB: return scheme.fillB;
    case ColumnFill::White: return kWhite;
    }
    return kWhite;
}
