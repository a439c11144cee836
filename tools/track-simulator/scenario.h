// Exact crossings read from a scenario file (format in main.cpp and
// README.md), handed out in time order.
#pragma once

#include "crossingsource.h"

#include <istream>
#include <string>
#include <vector>

class Scenario : public CrossingSource {
public:
    /// Reads the file's lines; on a bad line returns false and names the line
    /// in \a error.
    bool read(std::istream &in, std::string &error);
    std::optional<Crossing> nextDue(std::uint32_t nowMs) override;

private:
    std::vector<Crossing> crossings_;
    std::size_t next_ = 0;
};
