#include "engine/hardwareframes.h"
#include "engine/hardwarerecord.h"

#include <gtest/gtest.h>

namespace {

struct Decoder : ::testing::Test {
    DecodeResult decode(std::string_view block)
    {
        channels = {};
        return decodeBlock(block, channels, receiveBuffer);
    }
    std::array<ChannelState, kChannelCount> channels{};
    std::string receiveBuffer;
};

std::string records(std::initializer_list<std::array<long long, 4>> fields)
{
    std::string text = "\r\n";
    for (const auto &[channel, tank, event, timestamp] : fields)
        text += hardwareRecord(static_cast<int>(channel), static_cast<int>(tank), static_cast<int>(event), timestamp);
    return text;
}

} // namespace

TEST_F(Decoder, RecordFieldsAreReadByPosition)
{
    using enum DecodeResult;
    const struct {
        const char *why;
        std::string block;
        DecodeResult result;
        int channel;
        std::uint32_t timestamp;
        int tank, event;
    } cases[] = {
        {"fields by position", "\r\n0540abc0000123456\r\n", Ok, 5, 123456, 4, 0},
        {"all-zero timestamp is stored as 1", records({{3, 9, 3, 0}}), Ok, 3, 1, 9, 3},
        {"the later record wins", records({{7, 2, 0, 1000}, {7, 5, 3, 2000}}), Ok, 7, 2000, 5, 3},
        {"NUL ends the text", records({{1, 0, 0, 10}}) + '\0' + records({{2, 1, 1, 20}}), Ok, 2, 0, 0, 0},
        {"no line end, no record", "0540abc0000123456", Ok, 5, 0, 0, 0},
        {"text before the first line end", "0540abc0000123456\r\n", Ok, 5, 0, 0, 0},
        {"short record after the first line end", "\r\n01\r\n", Malformed, 1, 0, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(decode(c.block), c.result);
        const ChannelState &state = channels[static_cast<std::size_t>(c.channel - 1)];
        EXPECT_EQ((std::array{state.timestamp, std::uint32_t(state.tankDigit), std::uint32_t(state.eventDigit)}),
                  (std::array{c.timestamp, std::uint32_t(c.tank), std::uint32_t(c.event)}));
    }
    decode("27xyz0000000001" + records({{5, 4, 0, 1}}));
    EXPECT_EQ(receiveBuffer, records({{5, 4, 0, 1}})) << "the text from the first line end on";
}

TEST_F(Decoder, TenDigitTimestampsKeepTheHardwaresWrapping32BitClock)
{
    decode(records({{1, 0, 0, 2147483648LL}, {2, 0, 0, 4294967297LL}, {3, 0, 0, 9999999999LL}}));
    EXPECT_EQ(channels[0].timestamp, 2147483648u);
    EXPECT_EQ(channels[1].timestamp, 1u);
    EXPECT_EQ(channels[2].timestamp, static_cast<std::uint32_t>(9999999999ULL));
}

TEST_F(Decoder, MalformedChannelWithinTheFirst608CharactersStopsDecoding)
{
    for (int badChannel : {0, 33}) {
        EXPECT_EQ(decode(records({{1, 0, 0, 11}, {badChannel, 0, 0, 22}, {2, 0, 0, 33}})), DecodeResult::Malformed);
        EXPECT_EQ(channels[0].timestamp, 11u) << badChannel;
        EXPECT_EQ(channels[1].timestamp, 0u) << "nothing after the malformed record is decoded";
    }
}

TEST_F(Decoder, MalformedChannelBeyondPosition608IsSkipped)
{
    // 32 records end with a line end at position 608; the 33rd is beyond it.
    std::string block = "\r\n";
    for (int channel = 1; channel <= kChannelCount; ++channel)
        block += hardwareRecord(channel, 0, 0, 100 + channel);
    const std::string atLimit = block.substr(0, block.size() - 19) + hardwareRecord(33, 0, 0, 7);
    EXPECT_EQ(decode(atLimit), DecodeResult::Malformed) << "line end at 608 is still reported";

    block += records({{0, 0, 0, 7}, {5, 1, 3, 555}}).substr(2);
    EXPECT_EQ(decode(block), DecodeResult::Ok);
    EXPECT_EQ(channels[4].timestamp, 555u) << "decoding goes on after a skipped record";
    EXPECT_EQ(channels[4].eventDigit, 3);
}
