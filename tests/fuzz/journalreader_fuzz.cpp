// Arbitrary bytes as a race journal. The reader must take them without
// throwing or crashing, and each line gives at most one lap, one event or
// one damaged count; every seat it keeps is one of the eight (or -1 for a
// race-wide event), and every lap it keeps is at least the first.
#include "fuzzrace.h"
#include "record/journalreader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const RaceLog log = readJournal(text);

    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    require(log.laps.size() + log.events.size() + static_cast<std::size_t>(log.damagedLines) <= lines,
            "no line gives more than one lap, event or damaged count");
    for (const LapEntry &lap : log.laps)
        require(lap.seat >= 0 && lap.seat < 8 && lap.lap >= 1, "a lap is a seat's and counts from 1");
    for (const EventEntry &event : log.events)
        require(event.seat >= -1 && event.seat < 8, "an event is a seat's or the race's");
    return 0;
}
