#include "engine/racescript.h"

#include <gtest/gtest.h>

namespace {

// Laps, last lap, its speed, best lap and top speed.
Texts lapCells(const RacerState &r)
{
    return {r.lapsText, r.lastLapTimeText, r.lastLapSpeedText, r.bestLapTimeText, r.bestSpeedText};
}

// Seat 0's cells after a start crossing at hardware time \a start and one lap to \a end.
Texts oneLap(std::uint32_t start, std::uint32_t end)
{
    RaceScript script;
    script.startRace(start);
    script.cross(0, end);
    return lapCells(script.racer(0));
}

} // namespace

// The first change of a seat's channel synchronises it and the second is its
// start crossing: neither counts a lap, plays a sound or asks for a repaint.
TEST(LapProcessing, FirstBlockSynchronisesEverySeatAndTheStartCrossingCountsNoLap)
{
    RaceScript script;
    script.engine.enterRaceScreen();
    for (int channel = 1; channel <= kChannelCount; ++channel)
        script.report(channel, 1000 + channel);
    script.poll();
    for (int seat = 0; seat < kSeatCount; ++seat) {
        EXPECT_TRUE(script.channel(seat).synced && !script.channel(seat).started) << seat;
        EXPECT_EQ(script.channel(seat).lastTimestamp, 1001u + seat) << seat;
    }

    script.report(1, 9000); // during the countdown
    script.poll();
    EXPECT_TRUE(script.channel(0).started);
    EXPECT_EQ(script.channel(0).lastTimestamp, 9000u);
    EXPECT_FALSE(script.state().raceClockRunning) << "not before the start signal";

    script.state().startSignalGiven = true;
    script.report(2, 10'000);
    script.poll();
    EXPECT_TRUE(script.channel(1).started);
    EXPECT_TRUE(script.state().raceClockRunning);
    EXPECT_EQ(script.column(&RacerState::lapsText), Texts(kSeatCount, "0"));
    EXPECT_EQ(script.column(&RacerState::rankText), Texts(kSeatCount, "( )"));
    EXPECT_EQ(script.state().repaintRow, kNoRow);
    EXPECT_EQ(script.state().queuedRepaintRow, kNoRow);
    EXPECT_TRUE(script.host.sounds.empty());
}

// 20 m at 1:32: 0.64 km in 5 s is 460.8 km/h. Of two channels changing in
// one block only the first is counted; the scan then waits for its repaint.
// A slower lap keeps the best lap and the top speed.
TEST(LapProcessing, ThirdChangeCountsLapOneAndTwoChannelsChangingInOneBlockTakeTwoTicks)
{
    RaceScript script;
    script.startRace(10'000);
    script.report(1, 15'000, 4);
    script.report(2, 15'200);
    script.host.clockMs = 15'100;
    script.poll();

    const RacerState &adam = script.racer(0);
    EXPECT_EQ(lapCells(adam), (Texts{"1", "0:05:000", "460", "0:05:000", "460"}));
    EXPECT_EQ((Texts{adam.tankText, adam.rankText, adam.gapText}), (Texts{"5", "1", "- průběžné vedení -"}));
    EXPECT_EQ(adam.lapReachedAt(1), 15'000u) << "the lap counter's clock, not the host's";
    EXPECT_EQ(script.channel(0).lastTimestamp, 15'000u);
    EXPECT_EQ(script.state().repaintRow, 0);
    EXPECT_EQ(script.host.takeSounds(), Texts{"soubory/nextRounds.wav"});
    EXPECT_EQ(script.racer(1).lapsText, "0");
    script.poll();
    EXPECT_EQ(script.racer(1).lapsText, "0");

    script.paint();
    script.poll();
    EXPECT_EQ(lapCells(script.racer(1)), (Texts{"1", "0:05:200", "443", "0:05:200", "443"}));
    EXPECT_EQ(script.racer(1).rankText, "2");
    EXPECT_EQ(script.state().repaintRow, 1);

    script.cross(0, 21'400);
    EXPECT_EQ(lapCells(adam), (Texts{"2", "0:06:400", "360", "0:05:000", "460"}));
    EXPECT_EQ((std::array{adam.bestLapMs, adam.maxSpeedKmh}), (std::array{5000, 460}));
}

// Across 2^31 and across 2^32 of the hardware clock.
TEST(LapProcessing, LapTimeIsTakenAcrossTheWrapsOfTheHardwareClock)
{
    for (const auto &[start, end] : {std::pair<std::uint32_t, std::uint32_t>{2'147'481'000, 2'147'486'000},
                                     {4'294'965'000, 2'704}})
        EXPECT_EQ(oneLap(start, end), (Texts{"1", "0:05:000", "460", "0:05:000", "460"})) << start;
}

// Doubles made a lap of exactly 500 km/h (4608 ms) 499.
TEST(LapProcessing, ExactLapSpeedIsNotRoundedDown)
{
    EXPECT_EQ(oneLap(10'000, 14'608), (Texts{"1", "0:04:608", "500", "0:04:608", "500"}));
}

// A hardware reset during the race sends the clock backwards.
TEST(LapProcessing, TimestampGoingBackwardsCountsANegativeLap)
{
    EXPECT_EQ(oneLap(20'000, 15'000), (Texts{"1", "-0:05:000", "-460", "-0:05:000", "0"}));
}

// Values from a hand-edited settings file can be anything; 32-bit
// arithmetic would overflow the product or the conversion.
TEST(LapProcessing, SpeedFromHandEditedSettingsNeitherOverflowsNorWraps)
{
    RaceScript script;
    script.settings.scale = "100000";
    script.settings.trackLength = "100000";
    script.startRace(10'000);
    script.cross(0, 10'000 + 3'600'000); // 10 000 km in an hour
    EXPECT_EQ(script.racer(0).lastLapSpeedText, "10000000");

    script.settings.scale = "2147483647";
    script.settings.trackLength = "2147483647";
    script.cross(0, 10'000 + 3'600'001); // a lap of 1 ms
    EXPECT_EQ(script.racer(0).lastLapSpeedText, "2147483647");
    script.cross(0, 10'000 + 3'600'000); // and one of -1 ms
    EXPECT_EQ(script.racer(0).lastLapSpeedText, "-2147483648");
}

TEST(LapProcessing, ChannelsWithoutASeatAreStoredButNeverTakePart)
{
    RaceScript script;
    script.startRace();
    for (int round = 1; round <= 3; ++round) {
        for (int channel = 9; channel <= kChannelCount; ++channel)
            script.report(channel, 20'000 * round + channel, round);
        script.poll();
    }
    for (int index = kSeatCount; index < kChannelCount; ++index) {
        const ChannelState &channel = script.channel(index);
        EXPECT_EQ(channel.timestamp, 60'001u + index) << index;
        EXPECT_EQ(channel.tankDigit, 3) << index;
        EXPECT_FALSE(channel.synced || channel.started) << index;
    }
    EXPECT_EQ(script.column(&RacerState::lapsText), Texts(kSeatCount, "0"));
    EXPECT_EQ(script.state().repaintRow, kNoRow);
    EXPECT_TRUE(script.host.sounds.empty());
}

// A race from a hand-edited file may be longer than the 100 laps the dialog
// allows; the lap clock must hold every lap for the gaps.
TEST(LapProcessing, RaceOfMoreThan100LapsMeasuresGapsAtEveryLap)
{
    RaceScript script(RaceScript::twoRacers("150"));
    script.startRace(10'000);
    for (int lap = 1; lap <= 121; ++lap)
        script.cross(0, 10'000 + 5000 * lap);
    for (int lap = 1; lap <= 120; ++lap)
        script.cross(1, 10'000 + 5000 * lap + 1234);
    EXPECT_EQ(script.racer(1).lapsText, "120");
    EXPECT_EQ(script.racer(1).gapText, "1 [ 0:01:234 ]");
    EXPECT_EQ(script.racer(0).lapReachedAt(121), 10'000u + 5000 * 121);
}
