#include "scenario.h"

#include <algorithm>
#include <sstream>

namespace {

bool parseLine(const std::string &line, Crossing &crossing)
{
    std::istringstream fields(line);
    unsigned long long time = 0;
    int channel = 0, tank = 0, event = 0;
    std::string rest;
    if (!(fields >> time >> channel >> tank >> event) || (fields >> rest))
        return false;
    if (time > 4294967295ULL || channel < 1 || channel > kChannels || tank < 0 || tank > 9 || event < 0
        || event > 9)
        return false;
    crossing = {static_cast<std::uint32_t>(time), channel, tank, event};
    return true;
}

} // namespace

bool Scenario::read(std::istream &in, std::string &error)
{
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = line.substr(0, line.find('#'));
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        // A leading minus would wrap silently when read as unsigned.
        Crossing crossing;
        if (line.find('-') != std::string::npos || !parseLine(line, crossing)) {
            error = "line " + std::to_string(number) + ": expected \"time-ms channel(1-32) tank(0-9) event(0-9)\"";
            return false;
        }
        crossings_.push_back(crossing);
    }
    std::stable_sort(crossings_.begin(), crossings_.end(),
                     [](const Crossing &a, const Crossing &b) { return a.timeMs < b.timeMs; });
    return true;
}

std::optional<Crossing> Scenario::nextDue(std::uint32_t nowMs)
{
    if (next_ == crossings_.size() || crossings_[next_].timeMs > nowMs)
        return std::nullopt;
    return crossings_[next_++];
}
