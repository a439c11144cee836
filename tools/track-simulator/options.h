// The simulator's command line.
#pragma once

#include "randomrace.h"

#include <cstdint>
#include <string>

struct SimulatorOptions {
    std::string linkPath;
    std::string scenarioPath;
    std::string replayFolder;
    std::string goFile;
    std::uint32_t baud = 57600;
    RandomRaceOptions race;
    bool seedGiven = false;
    bool helpRequested = false;
};

/// Reads the arguments; on a bad one returns false with the reason in \a error.
bool parseOptions(int argc, char **argv, SimulatorOptions &options, std::string &error);

inline constexpr const char *kUsage =
    "usage: track-simulator [--link PATH] [--baud N] [--scenario FILE]\n"
    "                       [--cars N] [--lap-min MS] [--lap-max MS] [--start-ms MS] [--seed S]\n"
    "       track-simulator [--link PATH] [--baud N] --replay RACE_FOLDER [--go FILE]\n"
    "Streams the lap counter's records for 32 channels on a new pseudo-terminal\n"
    "and prints its device path as the first line of output.\n"
    "  --link PATH     also reach the terminal through symlink PATH (removed at exit)\n"
    "  --baud N        line rate in bit/s, 10 bits per byte (default 57600)\n"
    "  --scenario FILE exact crossings instead of a random race\n"
    "  --cars N        random race: cars on channels 1 to N, 0 to 32 (default 8)\n"
    "  --lap-min MS    random race: shortest lap (default 4000)\n"
    "  --lap-max MS    random race: longest lap (default 7000)\n"
    "  --start-ms MS   random race: clock time of the first crossing (default 20000)\n"
    "  --seed S        random race: seed, for a race that can be replayed\n"
    "  --replay RACE_FOLDER\n"
    "                  plays the line captured in a race folder of Tramelo at its\n"
    "                  pace; holds it before the first start crossing until Enter\n"
    "                  is pressed or the --go file appears\n"
    "  --go FILE       replay: also go on once FILE exists\n";
