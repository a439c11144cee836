// A captured line made ready to be played again: its whole lines with the
// times they arrived, the line where the replay must hold (the race's first
// start crossing, which has to wait for the replayed program's own countdown)
// and the records that stand on the line meanwhile, as the hardware repeats
// them.
#pragma once

#include "record/linecapture.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TimedLine {
    std::uint32_t atMs = 0;
    std::string bytes; ///< ends with CR LF
};

/// One channel's crossing as the journal tells it.
struct ChannelCrossing {
    int channel = 1;
    std::uint32_t hardwareMs = 0;
};

struct ReplayScript {
    std::vector<TimedLine> lines;
    /// Index of the first line that waits for the go; lines.size() when the
    /// line shows no start crossing.
    std::size_t holdAt = 0;
    /// The record of each channel standing on the line before the hold
    /// (empty: none seen), channel 1 first.
    std::array<std::string, 32> heldRecords;
    /// The same after the last line: what the line repeats once played.
    std::array<std::string, 32> finalRecords;
    /// Where and why the capture is damaged; the lines are those before the
    /// damage, and the replay stops once they are played. Empty: whole.
    std::string damage;
};

/// Cuts the capture into whole lines. A line broken by a purge of the port
/// (its bytes partly lost) is left out: the replayed program would take it
/// for malformed data the original never saw. \a firstStart, the journal's
/// first start crossing, sets the hold; without it the hold comes at the
/// first channel whose timestamp changes after its first record.
ReplayScript makeReplayScript(const LineCapture &capture, std::optional<ChannelCrossing> firstStart);
