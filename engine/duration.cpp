#include "engine/duration.h"

#include <cstdio>

std::string formatDuration(std::int32_t ms)
{
    const bool negative = ms < 0;
    const std::int64_t magnitude = negative ? -std::int64_t{ms} : std::int64_t{ms};
    const std::int64_t minutes = magnitude / 60000;
    const std::int64_t seconds = magnitude / 1000 - minutes * 60;
    const std::int64_t millis = magnitude % 1000;
    char text[40];
    std::snprintf(text, sizeof text, "%s%lld:%02lld:%03lld", negative ? "-" : "",
                  static_cast<long long>(minutes), static_cast<long long>(seconds),
                  static_cast<long long>(millis));
    return text;
}
