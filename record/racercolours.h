// The colour of each seat in reports: one per seat, the same in the tables,
// the legends and both charts, told apart on screen and on paper.
#pragma once

#include <array>
#include <string_view>

inline constexpr std::array<std::string_view, 8> kRacerColours = {
    "#d62728", "#1f77b4", "#2ca02c", "#ff7f0e", "#9467bd", "#8c564b", "#e377c2", "#17becf",
};

/// The CSS colour of seat \a seat (0 to 7); another seat number wraps round.
inline std::string_view racerColour(int seat)
{
    return kRacerColours[static_cast<std::size_t>(seat) % kRacerColours.size()];
}
