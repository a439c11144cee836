// Where the simulated cars' crossings of the finish line come from: an exact
// scenario file or a random race. Crossings come out in time order.
#pragma once

#include "records.h"

#include <optional>

class CrossingSource {
public:
    virtual ~CrossingSource() = default;
    /// The next crossing at or before \a nowMs, if any is due.
    virtual std::optional<Crossing> nextDue(std::uint32_t nowMs) = 0;
};
