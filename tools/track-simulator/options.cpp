#include "options.h"

#include <charconv>
#include <cstring>

namespace {

bool readNumber(const char *text, std::uint32_t &value)
{
    const char *end = text + std::strlen(text);
    const auto result = std::from_chars(text, end, value);
    return result.ec == std::errc() && result.ptr == end && end != text;
}

} // namespace

bool parseOptions(int argc, char **argv, SimulatorOptions &options, std::string &error)
{
    std::uint32_t cars = static_cast<std::uint32_t>(options.race.cars);
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            options.helpRequested = true;
            return true;
        }
        if (i + 1 == argc) {
            error = "unknown option or missing value: " + name;
            return false;
        }
        const char *value = argv[++i];
        bool ok = true;
        if (name == "--link")
            options.linkPath = value;
        else if (name == "--scenario")
            options.scenarioPath = value;
        else if (name == "--replay")
            options.replayFolder = value;
        else if (name == "--go")
            options.goFile = value;
        else if (name == "--baud")
            ok = readNumber(value, options.baud) && options.baud >= 10;
        else if (name == "--cars")
            ok = readNumber(value, cars) && cars <= kChannels;
        else if (name == "--lap-min")
            ok = readNumber(value, options.race.lapMinMs) && options.race.lapMinMs > 0;
        else if (name == "--lap-max")
            ok = readNumber(value, options.race.lapMaxMs);
        else if (name == "--start-ms")
            ok = readNumber(value, options.race.startMs);
        else if (name == "--seed") {
            std::uint32_t seed = 0;
            ok = readNumber(value, seed);
            options.race.seed = seed;
            options.seedGiven = true;
        } else {
            error = "unknown option: " + name;
            return false;
        }
        if (!ok) {
            error = "bad value for " + name + ": " + value;
            return false;
        }
    }
    options.race.cars = static_cast<int>(cars);
    if (!options.replayFolder.empty() && !options.scenarioPath.empty()) {
        error = "--replay and --scenario exclude each other";
        return false;
    }
    if (!options.goFile.empty() && options.replayFolder.empty()) {
        error = "--go needs --replay";
        return false;
    }
    if (options.race.lapMaxMs < options.race.lapMinMs) {
        error = "--lap-max is shorter than --lap-min";
        return false;
    }
    return true;
}
