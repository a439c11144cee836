// What the lap-counting hardware sends, written for tests and benchmarks: one
// 19-byte record per channel, and a full 636-byte block of a continuous
// stream that begins with the tail of a record.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

/// Channel, tank digit, event digit, three filler characters, ten-digit
/// timestamp, CR LF.
inline std::string hardwareRecord(int channel, int tankDigit, int eventDigit, long long timestamp)
{
    char text[40];
    std::snprintf(text, sizeof text, "%02d%d%dxyz%010lld\r\n", channel, tankDigit, eventDigit, timestamp);
    return text;
}

/// The latest data of one channel as the hardware reports it.
struct ChannelReport {
    std::uint32_t timestamp = 0;
    int tankDigit = 7;
    int eventDigit = 0;
};

/// A 636-byte block of the stream: the line end of a record cut off in
/// front, the 32 channels in order, channel 1 once more and the beginning of
/// the next record, as a read that starts anywhere in the stream gets them.
inline std::string hardwareBlock(const std::array<ChannelReport, 32> &reports)
{
    std::string block = "\r\n";
    for (int channel = 1; channel <= 32; ++channel) {
        const ChannelReport &report = reports[static_cast<std::size_t>(channel - 1)];
        block += hardwareRecord(channel, report.tankDigit, report.eventDigit, report.timestamp);
    }
    block += hardwareRecord(1, reports[0].tankDigit, reports[0].eventDigit, reports[0].timestamp);
    block += "0270xyz";
    return block;
}
