#include "engine/hardwareframes.h"
#include "engine/hardwarerecord.h"

#include <gtest/gtest.h>

namespace {

// A continuous stream of records for channels 1 to 32, as the hardware sends.
std::string stream(long long timestampBase)
{
    std::string text;
    for (int round = 0; round < 3; ++round)
        for (int channel = 1; channel <= kChannelCount; ++channel)
            text += hardwareRecord(channel, channel % 10, 0, timestampBase + channel);
    return text;
}

struct Decoder : ::testing::Test {
    std::array<ChannelState, kChannelCount> channels{};
    std::string receiveBuffer;

    DecodeResult decode(std::string_view block) { return decodeBlock(block, channels, receiveBuffer); }
};

} // namespace

TEST_F(Decoder, BlockStartingMidRecordDropsThePartialRecordAndStoresAllChannels)
{
    const std::string block = stream(1000).substr(7, kBlockSize);
    ASSERT_EQ(block.size(), static_cast<std::size_t>(kBlockSize));

    EXPECT_EQ(decode(block), DecodeResult::Ok);
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        EXPECT_EQ(channels[channel - 1].timestamp, 1000u + channel) << channel;
        EXPECT_EQ(channels[channel - 1].tankDigit, channel % 10) << channel;
    }
    EXPECT_EQ(receiveBuffer.substr(0, 2), "\r\n");
    EXPECT_EQ(receiveBuffer.size(), block.size() - 10) << "the partial record before the first line end";
}

TEST_F(Decoder, RecordFieldsAreReadByPosition)
{
    EXPECT_EQ(decode("\r\n0540abc0000123456\r\n"), DecodeResult::Ok);
    EXPECT_EQ(channels[4].timestamp, 123456u);
    EXPECT_EQ(channels[4].tankDigit, 4);
    EXPECT_EQ(channels[4].eventDigit, 0);
}

TEST_F(Decoder, AllZeroTimestampIsStoredAsOne)
{
    decode("\r\n" + hardwareRecord(3, 9, 3, 0));
    EXPECT_EQ(channels[2].timestamp, 1u);
    EXPECT_EQ(channels[2].tankDigit, 9);
    EXPECT_EQ(channels[2].eventDigit, 3);
}

TEST_F(Decoder, TenDigitTimestampsKeepTheHardwaresWrapping32BitClock)
{
    decode("\r\n" + hardwareRecord(1, 0, 0, 2147483648LL) + hardwareRecord(2, 0, 0, 4294967297LL)
           + hardwareRecord(3, 0, 0, 9999999999LL));
    EXPECT_EQ(channels[0].timestamp, 2147483648u);
    EXPECT_EQ(channels[1].timestamp, 1u);
    EXPECT_EQ(channels[2].timestamp, static_cast<std::uint32_t>(9999999999ULL));
}

TEST_F(Decoder, MalformedChannelWithinTheFirst608CharactersStopsDecoding)
{
    for (int badChannel : {0, 33}) {
        channels = {};
        const std::string block = "\r\n" + hardwareRecord(1, 0, 0, 11) + hardwareRecord(badChannel, 0, 0, 22)
                                  + hardwareRecord(2, 0, 0, 33);
        EXPECT_EQ(decode(block), DecodeResult::Malformed) << badChannel;
        EXPECT_EQ(channels[0].timestamp, 11u);
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

    block += hardwareRecord(0, 0, 0, 7) + hardwareRecord(5, 1, 3, 555);
    EXPECT_EQ(decode(block), DecodeResult::Ok);
    EXPECT_EQ(channels[4].timestamp, 555u) << "decoding goes on after a skipped record";
    EXPECT_EQ(channels[4].eventDigit, 3);
}

TEST_F(Decoder, BlockWithoutLineEndYieldsNoRecords)
{
    EXPECT_EQ(decode("0540abc0000123456"), DecodeResult::Ok);
    EXPECT_EQ(receiveBuffer, "0540abc0000123456");
    EXPECT_EQ(channels[4].timestamp, 0u);
}

TEST_F(Decoder, LaterRecordOfAChannelOverwritesTheEarlierOne)
{
    decode("\r\n" + hardwareRecord(7, 2, 0, 1000) + hardwareRecord(7, 5, 3, 2000));
    EXPECT_EQ(channels[6].timestamp, 2000u);
    EXPECT_EQ(channels[6].tankDigit, 5);
    EXPECT_EQ(channels[6].eventDigit, 3);
}

TEST_F(Decoder, NulByteEndsTheText)
{
    std::string block = "\r\n" + hardwareRecord(1, 0, 0, 10);
    block += '\0';
    block += hardwareRecord(2, 0, 0, 20);
    decode(block);
    EXPECT_EQ(channels[0].timestamp, 10u);
    EXPECT_EQ(channels[1].timestamp, 0u);
}

TEST_F(Decoder, ShortRecordRightAfterTheFirstLineEndIsMalformed)
{
    EXPECT_EQ(decode("\r\n01\r\n"), DecodeResult::Malformed);
    EXPECT_EQ(decode("xx\r\n"), DecodeResult::Ok);
}
