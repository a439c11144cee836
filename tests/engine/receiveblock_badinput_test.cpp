// What the serial line can bring into a race under way besides clean
// records: random bytes, a record cut in two by the end of a block, channel
// numbers no seat or channel has, and a timestamp of ten nines.
#include "engine/hardwareframes.h"
#include "engine/racescript.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr const char *kMalformedData = "Zpracovávaná data nejsou korektní, neodpovídají formátování!";

// Seat 0's record in a block of the script: the first one, after the cut line end.
constexpr std::size_t kSeat0Record = 2;

struct RaceUnderWay : ::testing::Test {
    RaceUnderWay() { script.startRace(10'000); }

    void expectNoLapCounted()
    {
        EXPECT_EQ(script.column(&RacerState::lapsText), Texts(kSeatCount, "0"));
        EXPECT_EQ(script.column(&RacerState::rankText), Texts(kSeatCount, "( )"));
        EXPECT_EQ(script.state().repaintRow, kNoRow);
    }

    RaceScript script;
};

} // namespace

TEST_F(RaceUnderWay, RandomBytesCountNoLapAndAtMostWarnOncePerBlock)
{
    std::mt19937 random(20261207);
    // Without CR and NUL no line end but the test's own cuts the bytes into
    // records, and no zero byte ends the text early.
    auto randomBytes = [&] {
        std::string bytes(kBlockSize, '\0');
        for (char &byte : bytes) {
            byte = static_cast<char>(random() & 0xFF);
            if (byte == '\r' || byte == '\0')
                byte = '#';
        }
        return bytes;
    };
    for (int block = 0; block < 20; ++block)
        script.engine.receiveBlock(randomBytes());
    EXPECT_TRUE(script.host.messages.empty()) << "without line ends nothing is a record";

    // Record-sized garbage with line ends whose channel field holds no digit.
    for (int block = 0; block < 20; ++block) {
        std::string bytes = randomBytes();
        for (std::size_t at = 0; at + 19 <= bytes.size(); at += 19) {
            bytes.replace(at, 2, "x?");
            bytes.replace(at + 17, 2, "\r\n");
        }
        script.host.expectMessage(kMalformedData);
        script.engine.receiveBlock(bytes);
    }
    expectNoLapCounted();
}

TEST_F(RaceUnderWay, RecordCutByTheEndOfABlockIsDroppedFromBothHalves)
{
    // The stream goes on after the last whole record with seat 0's new record,
    // of which the block holds the first nine bytes; the next read begins with
    // the other ten, as the purge between two polls leaves it.
    const std::string record = hardwareRecord(1, 7, 0, 15'000);
    std::string first = std::string(17, 'x') + script.block().substr(0, 2 + kChannelCount * 19);
    first += record.substr(0, kBlockSize - first.size());
    ASSERT_EQ(first.size(), static_cast<std::size_t>(kBlockSize));
    const std::string second = (record.substr(9) + script.block().substr(2)).substr(0, kBlockSize);

    script.engine.receiveBlock(first);
    script.engine.receiveBlock(second);
    expectNoLapCounted();
    EXPECT_TRUE(script.host.messages.empty());

    script.cross(0, 15'000);
    EXPECT_EQ(script.racer(0).lapsText, "1");
    EXPECT_EQ(script.racer(0).lastLapTimeText, "0:05:000");
}

TEST_F(RaceUnderWay, ChannelsOutsideOneTo32StopTheBlockWithTheMalformedMessage)
{
    for (const char *channel : {"00", "33", "99"}) {
        script.paint();
        script.report(2, 16'000);
        std::string block = script.block();
        // The block's first record: seat 1's new timestamp comes after it.
        block.replace(kSeat0Record, 2, channel);
        script.host.expectMessage(kMalformedData);
        script.engine.receiveBlock(block);
        EXPECT_EQ(script.racer(1).lapsText, "0") << "nothing after the bad record is decoded, channel " << channel;
    }
    script.poll();
    EXPECT_EQ(script.racer(1).lapsText, "1") << "the next clean block counts the lap";
}

// The hardware's clock runs past 32 bits in its ten digits; the lap is the
// difference of the wrapping clock, so a timestamp of ten nines after one of
// 9999994999 is a lap of five seconds.
TEST_F(RaceUnderWay, TimestampOfTenNinesGivesALapOfTheRightLength)
{
    auto blockWithSeat0At = [&](const std::string &digits) {
        std::string block = script.block();
        block.replace(kSeat0Record + 7, 10, digits);
        block.replace(kSeat0Record + kChannelCount * 19 + 7, 10, digits); // channel 1 once more
        return block;
    };
    script.engine.receiveBlock(blockWithSeat0At("9999994999"));
    EXPECT_EQ(script.racer(0).lapsText, "1");
    script.paint();
    script.engine.receiveBlock(blockWithSeat0At("9999999999"));
    EXPECT_EQ(script.racer(0).lapsText, "2");
    EXPECT_EQ(script.racer(0).lastLapTimeText, "0:05:000");
    EXPECT_EQ(script.racer(0).lastLapSpeedText, "460");
    EXPECT_TRUE(script.host.messages.empty());
}
