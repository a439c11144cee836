#include "engine/hardwareframes.h"

#include "config/racesettings.h"

#include <cstdint>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The timestamp field is ten digits: read it wide and keep the low 32 bits,
// which is the hardware's own wrapping millisecond counter.
std::uint32_t readTimestamp(std::string_view field)
{
    const DecimalPrefix prefix = decimalPrefix(field);
    std::uint32_t value = 0;
    for (const char digit : prefix.digits)
        value = value * 10u + static_cast<std::uint32_t>(digit - '0');
    return prefix.negative ? 0u - value : value;
}

} // namespace

DecodeResult decodeBlock(std::string_view block, std::array<ChannelState, kChannelCount> &channels,
                         std::string &receiveBuffer)
{
    const std::string_view text = block.substr(0, block.find('\0'));
    const std::size_t firstLineEnd = text.find(kLineEnd);
    receiveBuffer.assign(firstLineEnd == std::string_view::npos ? text : text.substr(firstLineEnd));
    const std::string_view buffer = receiveBuffer;

    std::size_t p = 0;
    for (;;) {
        p = buffer.find(kLineEnd, p + 2);
        if (p == std::string_view::npos)
            return DecodeResult::Ok;
        const std::string_view record =
            p < kRecordLength ? buffer.substr(0, kRecordLength) : buffer.substr(p - kRecordLength, kRecordLength);
        const std::int32_t channel = settingToInt(record.substr(0, 2));
        if (channel < 1 || channel > kChannelCount) {
            if (p > kMalformedReportLimit)
                continue;
            return DecodeResult::Malformed;
        }
        ChannelState &state = channels[static_cast<std::size_t>(channel - 1)];
        const std::uint32_t timestamp = readTimestamp(record.substr(7, 10));
        state.timestamp = timestamp == 0 ? 1u : timestamp;
        state.tankDigit = settingToInt(record.substr(2, 1));
        state.eventDigit = settingToInt(record.substr(3, 1));
    }
}
