#include "records.h"

#include <cstdio>

void ChannelBoard::apply(const Crossing &crossing)
{
    readings_[static_cast<std::size_t>(crossing.channel - 1)] = {crossing.timeMs, crossing.tankDigit,
                                                                  crossing.eventDigit};
}

std::string ChannelBoard::record(int channel) const
{
    const ChannelReading &reading = readings_[static_cast<std::size_t>(channel - 1)];
    char line[kRecordBytes + 1];
    std::snprintf(line, sizeof line, "%02d%d%d000%010lu\r\n", channel, reading.tankDigit,
                  reading.eventDigit, static_cast<unsigned long>(reading.timestamp));
    return std::string(line, kRecordBytes);
}
