#include "replayscript.h"

#include <gtest/gtest.h>

namespace {

std::string line(int channel, std::uint32_t timestamp)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d90000%010u\r\n", channel, timestamp);
    return text;
}

LineChunk bytes(std::uint32_t atMs, std::string text)
{
    return {LineChunk::Kind::Bytes, atMs, std::move(text)};
}

LineChunk purge(std::uint32_t atMs)
{
    return {LineChunk::Kind::Purge, atMs, ""};
}

std::vector<std::string> texts(const std::vector<TimedLine> &lines)
{
    std::vector<std::string> result;
    for (const TimedLine &timed : lines)
        result.push_back(timed.bytes);
    return result;
}

// Channels 1 and 2 stand at 0; channel 2 crosses at 900 (a false start the
// program would ask about), channel 1 at 1500 after the start signal.
const LineCapture kCapture{{
    bytes(0, "000000001\r\n" + line(1, 0)),                  // begins mid-record
    bytes(3, line(2, 0) + "garbage\r\n" + line(1, 0).substr(0, 7)),
    purge(350),                                               // the rest of that record is lost
    bytes(351, line(2, 0).substr(9) + line(1, 0)),
    bytes(360, line(2, 900) + line(1, 0)),
    bytes(2000, line(2, 900) + line(1, 1500) + line(2, 900)),
}};

} // namespace

// Only whole lines come back, each at the time its line end arrived: the
// fragment the capture began with and the two halves of the record a purge
// cut are left out; a contiguous line of garbage is played as it came.
TEST(ReplayScript, WholeLinesOnlyWithTheTimeTheirLineEndArrived)
{
    const ReplayScript script = makeReplayScript(kCapture, std::nullopt);
    EXPECT_EQ(texts(script.lines), (std::vector<std::string>{line(1, 0), line(2, 0), "garbage\r\n", line(1, 0),
                                                             line(2, 900), line(1, 0), line(2, 900), line(1, 1500),
                                                             line(2, 900)}));
    std::vector<std::uint32_t> times;
    for (const TimedLine &timed : script.lines)
        times.push_back(timed.atMs);
    EXPECT_EQ(times, (std::vector<std::uint32_t>{0, 3, 3, 351, 360, 360, 2000, 2000, 2000}));
}

// Without a journal the hold comes at the first changed timestamp; with one,
// at the record of the journal's first start crossing. The line holds what
// stood on it just before, and repeats the final records after the end.
TEST(ReplayScript, HoldComesAtTheFirstStartCrossing)
{
    const ReplayScript guessed = makeReplayScript(kCapture, std::nullopt);
    EXPECT_EQ(guessed.holdAt, 4u);
    EXPECT_EQ(guessed.heldRecords[0], line(1, 0));
    EXPECT_EQ(guessed.heldRecords[1], line(2, 0));
    EXPECT_EQ(guessed.heldRecords[2], "");

    const ReplayScript journal = makeReplayScript(kCapture, ChannelCrossing{1, 1500});
    EXPECT_EQ(journal.holdAt, 7u);
    EXPECT_EQ(journal.heldRecords[0], line(1, 0));
    EXPECT_EQ(journal.heldRecords[1], line(2, 900));
    EXPECT_EQ(journal.finalRecords[0], line(1, 1500));
    EXPECT_EQ(journal.finalRecords[1], line(2, 900));

    const ReplayScript never = makeReplayScript(kCapture, ChannelCrossing{3, 1500});
    EXPECT_EQ(never.holdAt, never.lines.size()) << "a crossing the line never shows: no hold";
}
