#include "engine/racescript.h"

#include <gtest/gtest.h>

namespace {

constexpr const char *kNoDataQuestion = "Hardware nekomunikuje! Přejete si pokračovat?";
constexpr const char *kMalformedData = "Zpracovávaná data nejsou korektní, neodpovídají formátování!";

// A full block whose second record names channel 33: decoding stops there.
std::string malformedBlock(std::uint32_t timestamp)
{
    std::array<ChannelReport, kChannelCount> reports{};
    for (ChannelReport &report : reports)
        report.timestamp = timestamp;
    std::string block = hardwareBlock(reports);
    block.replace(2 + 19, 2, "33");
    return block;
}

} // namespace

TEST(ReceiveBlock, FullBlockIsDecodedWithoutQuestions)
{
    RaceScript script;
    script.report(5, 123'456, 4, 3);
    ASSERT_EQ(script.block().size(), 636u);
    script.host.timers[kPollTimer] = 350;
    script.poll();

    EXPECT_EQ(script.engine.race().channels[4].timestamp, 123'456u);
    EXPECT_EQ(script.engine.race().channels[4].eventDigit, 3);
    EXPECT_TRUE(script.host.messages.empty());
    EXPECT_TRUE(script.host.timerRunning(kPollTimer));
}

TEST(ReceiveBlock, ShortBlockAnsweredNoStopsPollingAndDecodesNothing)
{
    RaceScript script;
    script.report(1, 777);
    script.host.timers[kPollTimer] = 350;
    script.host.expectMessage(kNoDataQuestion, MessageAnswer::No);
    script.engine.receiveBlock(script.block().substr(0, 635));

    EXPECT_FALSE(script.host.timerRunning(kPollTimer));
    EXPECT_EQ(script.engine.race().channels[0].timestamp, 0u);
    EXPECT_FALSE(script.channel(0).synced) << "no scan either";
    ASSERT_EQ(script.host.messages.size(), 1u);
    EXPECT_EQ(script.host.messages[0].caption, "Chyba");
    EXPECT_EQ(script.host.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(script.host.messages[0].icon, MessageIcon::Warning);
}

TEST(ReceiveBlock, ShortBlockAnsweredYesRestartsPollingAndDecodesTheBytes)
{
    RaceScript script;
    script.report(1, 777);
    script.report(32, 888);
    bool pollingStoppedWhileAsking = false;
    script.host.whileNextMessageOpen([&] { pollingStoppedWhileAsking = !script.host.timerRunning(kPollTimer); });
    script.host.expectMessage(kNoDataQuestion, MessageAnswer::Yes);
    script.host.timers[kPollTimer] = 350;
    script.engine.receiveBlock(script.block().substr(0, 635));

    EXPECT_TRUE(pollingStoppedWhileAsking);
    ASSERT_TRUE(script.host.timerRunning(kPollTimer));
    EXPECT_EQ(script.host.timers.at(kPollTimer), 350);
    EXPECT_EQ(script.engine.race().channels[31].timestamp, 888u);
    EXPECT_TRUE(script.channel(0).synced) << "the scan runs on what was decoded";

    script.host.expectMessage(kNoDataQuestion, MessageAnswer::Yes);
    script.engine.receiveBlock("");
    EXPECT_TRUE(script.host.timerRunning(kPollTimer));
}

TEST(ReceiveBlock, MalformedBlockKeepsWhatWasDecodedAndStillScans)
{
    RaceScript script;
    script.host.expectMessage(kMalformedData);
    script.engine.receiveBlock(malformedBlock(4000));

    EXPECT_EQ(script.engine.race().channels[0].timestamp, 4000u);
    EXPECT_EQ(script.engine.race().channels[1].timestamp, 0u);
    EXPECT_TRUE(script.channel(0).synced);
    EXPECT_EQ(script.host.messages.at(0).caption, "Chyba");
    EXPECT_EQ(script.host.messages.at(0).icon, MessageIcon::Warning);
}

// The poll goes on under the message box; a second malformed block must not
// stack a second box on the first.
TEST(ReceiveBlock, MalformedBlockUnderAnOpenMalformedMessageShowsNoSecondBox)
{
    RaceScript script;
    script.host.whileNextMessageOpen([&] { script.engine.receiveBlock(malformedBlock(5000)); });
    script.host.expectMessage(kMalformedData);
    script.engine.receiveBlock(malformedBlock(4000));

    EXPECT_EQ(script.host.messages.size(), 1u);
    EXPECT_EQ(script.engine.race().channels[0].timestamp, 5000u) << "the nested block was decoded";

    script.host.expectMessage(kMalformedData);
    script.engine.receiveBlock(malformedBlock(6000));
    EXPECT_EQ(script.host.messages.size(), 2u) << "a later block gets its own message";
}
