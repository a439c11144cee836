#include "engine/racescript.h"

#include <gtest/gtest.h>

namespace {

const Message kNoData{"Chyba", "Hardware nekomunikuje! Přejete si pokračovat?", MessageButtons::YesNo,
                      MessageIcon::Warning};
const Message kMalformed{"Chyba", "Zpracovávaná data nejsou korektní, neodpovídají formátování!",
                         MessageButtons::Ok, MessageIcon::Warning};

struct ReceiveBlock : ::testing::Test {
    ReceiveBlock() { script.host.timers[kPollTimer] = 350; }

    // A full block whose second record names channel 33: decoding stops there.
    static std::string malformedBlock(std::uint32_t timestamp)
    {
        std::array<ChannelReport, kChannelCount> reports{};
        reports.fill({timestamp});
        return hardwareBlock(reports).replace(2 + 19, 2, "33");
    }

    RaceScript script;
    FakeRaceHost &host = script.host;
};

} // namespace

TEST_F(ReceiveBlock, ShortBlockAnsweredNoStopsPollingAndDecodesNothing)
{
    script.report(1, 777);
    host.expectMessage(kNoData.text, MessageAnswer::No);
    script.engine.receiveBlock(script.block().substr(0, 635));

    EXPECT_EQ(host.messages, std::vector<Message>{kNoData});
    EXPECT_FALSE(host.timerRunning(kPollTimer));
    EXPECT_EQ(script.channel(0).timestamp, 0u);
    EXPECT_FALSE(script.channel(0).synced) << "no scan either";
}

TEST_F(ReceiveBlock, ShortBlockAnsweredYesRestartsPollingAndDecodesTheBytes)
{
    script.report(1, 777);
    script.report(32, 888);
    bool pollingStoppedWhileAsking = false;
    host.whileNextMessageOpen([&] { pollingStoppedWhileAsking = !host.timerRunning(kPollTimer); });
    host.expectMessage(kNoData.text, MessageAnswer::Yes);
    script.engine.receiveBlock(script.block().substr(0, 635));

    EXPECT_TRUE(pollingStoppedWhileAsking);
    EXPECT_EQ(host.timers, (std::map<int, int>{{kPollTimer, 350}}));
    EXPECT_EQ(script.channel(31).timestamp, 888u);
    EXPECT_TRUE(script.channel(0).synced) << "the scan runs on what was decoded";

    host.expectMessage(kNoData.text, MessageAnswer::Yes);
    script.engine.receiveBlock("");
    EXPECT_TRUE(host.timerRunning(kPollTimer));

    script.report(5, 123'456, 4, 3);
    script.poll(); // a full block of 636 bytes asks nothing
    EXPECT_EQ(script.channel(4).eventDigit, 3);
    EXPECT_TRUE(host.timerRunning(kPollTimer));
}

// The poll goes on under the message box; a second malformed block must not
// stack a second box on the first. What came before the bad record is kept
// and scanned.
TEST_F(ReceiveBlock, MalformedBlockUnderAnOpenMalformedMessageShowsNoSecondBox)
{
    host.whileNextMessageOpen([&] { script.engine.receiveBlock(malformedBlock(5000)); });
    host.expectMessage(kMalformed.text);
    script.engine.receiveBlock(malformedBlock(4000));
    EXPECT_EQ(host.messages, std::vector<Message>{kMalformed});
    EXPECT_EQ(script.channel(0).timestamp, 5000u) << "the nested block was decoded";
    EXPECT_EQ(script.channel(1).timestamp, 0u);

    host.expectMessage(kMalformed.text);
    script.engine.receiveBlock(malformedBlock(6000));
    EXPECT_EQ(host.messages.size(), 2u) << "a later block gets its own message";
    EXPECT_TRUE(script.channel(0).started) << "and is scanned: channel 1's start crossing";
}
