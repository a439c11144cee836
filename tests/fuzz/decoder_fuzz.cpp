// Arbitrary bytes from the serial line into a race under way: the record
// decoder, the crossing scan, lap counting, standings, race events and, once
// every seat is done, the results text.
//
// Input: a series of steps, each an op byte and its bytes. The op's upper
// five bits move the host clock on by 50 ms each before the race clock
// ticks; its lower three bits say what happens then:
//   0-2  the table paints, then a block of up to 636 bytes is read
//   3    a block is read while a row still waits for its repaint
//   4    a short block: the next byte times 2 gives its length (at most 635)
//   5    a row button: the next byte picks command 3100 + byte % 16
//   6    the table paints
//   7    the race-end test, and the results text once the race is over
#include "fuzzrace.h"

#include "engine/hardwareframes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// Reads the input front to back, so a seed of plain blocks reads as blocks.
class InputReader {
public:
    InputReader(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

    bool atEnd() const { return at_ == size_; }
    std::uint8_t byte() { return atEnd() ? 0 : data_[at_++]; }
    std::string_view bytes(std::size_t count)
    {
        count = std::min(count, size_ - at_);
        const std::string_view taken(reinterpret_cast<const char *>(data_ + at_), count);
        at_ += count;
        return taken;
    }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// One racer over three laps: three counted crossings end the race within a
// short input. Cars on the lanes of the empty seats are counted and ranked
// all the same, so the standings still see eight cars.
RaceSettings oneRacerThreeLaps()
{
    RaceSettings settings;
    applyFactorySettings(settings);
    settings.racerName[1].clear();
    settings.lapsPerRide = "3";
    settings.autoOffTrackCounting = "1";
    return settings;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const RaceSettings settings = oneRacerThreeLaps();
    FuzzRace race(settings);
    race.start();

    InputReader input(data, size);
    while (!input.atEnd()) {
        const std::uint8_t op = input.byte();
        race.clockTick((op >> 3) * 50);
        switch (op & 7) {
        case 0:
        case 1:
        case 2:
            race.paint();
            race.poll(input.bytes(kBlockSize));
            break;
        case 3: race.poll(input.bytes(kBlockSize)); break;
        case 4: race.poll(input.bytes(std::min<std::size_t>(input.byte() * 2u, kBlockSize - 1))); break;
        case 5: race.pressButton(3100 + input.byte() % 16); break;
        case 6: race.paint(); break;
        case 7: race.checkResults(); break;
        }
    }
    race.checkResults();
    return 0;
}
