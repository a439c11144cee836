// The hardware's view of the 32 channels and the 19-byte line it sends for
// one of them: two-digit channel, tank digit, event digit, three filler
// characters, the ten-digit timestamp of the last crossing, CR LF.
#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr int kChannels = 32;
inline constexpr int kRecordBytes = 19;
inline constexpr int kFullTank = 9;
inline constexpr int kOffTrackEvent = 3;

struct Crossing {
    std::uint32_t timeMs = 0;
    int channel = 1;
    int tankDigit = kFullTank;
    int eventDigit = 0;
};

struct ChannelReading {
    /// 0 until the channel's car first crosses the line.
    std::uint32_t timestamp = 0;
    int tankDigit = kFullTank;
    int eventDigit = 0;
};

/// The readings of all channels; channel n is entry n - 1.
class ChannelBoard {
public:
    void apply(const Crossing &crossing);
    /// The record line of \a channel (1 to 32).
    std::string record(int channel) const;

private:
    std::array<ChannelReading, kChannels> readings_{};
};
