// Durations as the race table, the window title and the results file write
// them: minutes:seconds:milliseconds, seconds padded to 2 and milliseconds to
// 3 digits (83456 ms is 1:23:456).
#pragma once

#include <cstdint>
#include <string>

/// A negative duration (timestamps that went backwards) is written with one
/// leading minus sign: -5007 ms is -0:05:007.
std::string formatDuration(std::int32_t ms);
