#include "engine/racescript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Sounds = std::vector<std::string>;

TEST(LapProcessing, FirstBlockSynchronisesEverySeatWithoutLapOrRepaint)
{
    RaceScript script;
    script.engine.enterRaceScreen();
    for (int channel = 1; channel <= kChannelCount; ++channel)
        script.report(channel, 1000 + channel);
    script.poll();

    for (int seat = 0; seat < kSeatCount; ++seat) {
        EXPECT_TRUE(script.channel(seat).synced) << seat;
        EXPECT_FALSE(script.channel(seat).started) << seat;
        EXPECT_EQ(script.channel(seat).lastTimestamp, 1001u + seat) << seat;
        EXPECT_EQ(script.racer(seat).lapsText, "0") << seat;
        EXPECT_EQ(script.racer(seat).rankText, "( )") << seat;
    }
    EXPECT_EQ(script.state().repaintRow, kNoRow);
    EXPECT_EQ(script.state().queuedRepaintRow, kNoRow);
    EXPECT_FALSE(script.state().raceClockRunning);
    EXPECT_TRUE(script.host.sounds.empty());
}

TEST(LapProcessing, StartCrossingStartsTheRaceClockOnlyAfterTheStartSignal)
{
    RaceScript script;
    script.report(1, 500);
    script.report(2, 500);
    script.poll();

    script.report(1, 9000); // during the countdown
    script.poll();
    EXPECT_TRUE(script.channel(0).started);
    EXPECT_EQ(script.channel(0).lastTimestamp, 9000u);
    EXPECT_FALSE(script.state().raceClockRunning);

    script.state().startSignalGiven = true;
    script.report(2, 10'000);
    script.poll();
    EXPECT_TRUE(script.channel(1).started);
    EXPECT_TRUE(script.state().raceClockRunning);

    for (int seat : {0, 1})
        EXPECT_EQ(script.racer(seat).lapsText, "0") << "a start crossing counts no lap";
    EXPECT_TRUE(script.host.sounds.empty());
}

TEST(LapProcessing, ThirdChangeCountsLapOneBetweenSecondAndThirdTimestamps)
{
    RaceScript script; // 20 m at 1:32
    script.startRace(10'000);
    script.report(1, 15'000, 4);
    script.host.clockMs = 15'100;
    script.poll();

    const RacerState &adam = script.racer(0);
    EXPECT_EQ(adam.lapsText, "1");
    EXPECT_EQ(adam.lastLapTimeText, "0:05:000");
    EXPECT_EQ(adam.lastLapSpeedText, "460"); // 0.64 km in 5 s is 460.8 km/h
    EXPECT_EQ(adam.bestLapTimeText, "0:05:000");
    EXPECT_EQ(adam.bestSpeedText, "460");
    EXPECT_EQ(adam.tankText, "5");
    EXPECT_EQ(adam.rankText, "1");
    EXPECT_EQ(adam.gapText, "- průběžné vedení -");
    EXPECT_EQ(adam.lapClockAt(1), 15'100) << "the lap clock is the host's";
    EXPECT_EQ(script.channel(0).lastTimestamp, 15'000u);
    EXPECT_EQ(script.state().repaintRow, 0);
    EXPECT_EQ(script.host.takeSounds(), Sounds{"soubory/nextRounds.wav"});
}

TEST(LapProcessing, TwoChannelsChangingInOneBlockAreCountedInTwoTicks)
{
    RaceScript script;
    script.startRace();
    script.report(1, 15'000);
    script.report(2, 15'200);
    script.poll();
    EXPECT_EQ(script.racer(0).lapsText, "1");
    EXPECT_EQ(script.racer(1).lapsText, "0") << "one crossing per tick";

    script.poll();
    EXPECT_EQ(script.racer(1).lapsText, "0") << "the scan waits for the repaint of seat 0";

    script.paint();
    script.poll();
    EXPECT_EQ(script.racer(1).lapsText, "1");
    EXPECT_EQ(script.racer(1).lastLapTimeText, "0:05:200");
    EXPECT_EQ(script.racer(1).rankText, "2");
    EXPECT_EQ(script.state().repaintRow, 1);
}

TEST(LapProcessing, SlowerLapKeepsBestLapAndTopSpeed)
{
    RaceScript script;
    script.startRace(10'000);
    script.cross(0, 15'000);
    script.cross(0, 21'400);

    const RacerState &adam = script.racer(0);
    EXPECT_EQ(adam.lapsText, "2");
    EXPECT_EQ(adam.lastLapTimeText, "0:06:400");
    EXPECT_EQ(adam.lastLapSpeedText, "360");
    EXPECT_EQ(adam.bestLapTimeText, "0:05:000");
    EXPECT_EQ(adam.bestSpeedText, "460");
    EXPECT_EQ(adam.bestLapMs, 5000);
    EXPECT_EQ(adam.maxSpeedKmh, 460);
}

TEST(LapProcessing, LapTimeIsTakenAcrossTheWrapsOfTheHardwareClock)
{
    struct Lap {
        std::uint32_t start;
        std::uint32_t end;
    };
    // Across 2^31 and across 2^32.
    for (const Lap lap : {Lap{2'147'481'000, 2'147'486'000}, Lap{4'294'965'000, 2'704}}) {
        RaceScript script;
        script.startRace(lap.start);
        script.cross(0, lap.end);
        EXPECT_EQ(script.racer(0).lapsText, "1") << lap.start;
        EXPECT_EQ(script.racer(0).lastLapTimeText, "0:05:000") << lap.start;
        EXPECT_EQ(script.racer(0).lastLapSpeedText, "460") << lap.start;
    }
}

// Doubles made a lap of exactly 500 km/h (4608 ms on 20 m at 1:32) 499.
TEST(LapProcessing, ExactLapSpeedIsNotRoundedDown)
{
    RaceScript script;
    script.startRace(10'000);
    script.cross(0, 14'608);
    EXPECT_EQ(script.racer(0).lastLapSpeedText, "500");
    EXPECT_EQ(script.racer(0).bestSpeedText, "500");
}

// A hardware reset during the race sends the clock backwards.
TEST(LapProcessing, TimestampGoingBackwardsCountsANegativeLap)
{
    RaceScript script;
    script.startRace(20'000);
    script.cross(0, 15'000);

    const RacerState &adam = script.racer(0);
    EXPECT_EQ(adam.lapsText, "1");
    EXPECT_EQ(adam.lastLapTimeText, "-0:05:000");
    EXPECT_EQ(adam.lastLapSpeedText, "-460");
    EXPECT_EQ(adam.bestLapTimeText, "-0:05:000");
    EXPECT_EQ(adam.bestSpeedText, "0");
}

// Values from a hand-edited settings file can be anything; 32-bit
// arithmetic would overflow the product or the conversion.
TEST(LapProcessing, SpeedFromHandEditedSettingsNeitherOverflowsNorWraps)
{
    RaceSettings settings = RaceScript::twoRacers();
    settings.scale = "100000";
    settings.trackLength = "100000";
    RaceScript script(settings);
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
        const ChannelState &channel = script.engine.race().channels[index];
        EXPECT_EQ(channel.timestamp, 60'001u + index) << index;
        EXPECT_EQ(channel.tankDigit, 3) << index;
        EXPECT_FALSE(channel.synced) << index;
        EXPECT_FALSE(channel.started) << index;
    }
    for (int seat = 0; seat < kSeatCount; ++seat)
        EXPECT_EQ(script.racer(seat).lapsText, "0") << seat;
    EXPECT_EQ(script.state().repaintRow, kNoRow);
    EXPECT_TRUE(script.host.sounds.empty());
}

// A race from a hand-edited file may be longer than the 100 laps the dialog
// allows; the lap clock must hold every lap for the gaps.
TEST(LapProcessing, RaceOfMoreThan100LapsMeasuresGapsAtEveryLap)
{
    RaceSettings settings = RaceScript::twoRacers();
    settings.lapsPerRide = "150";
    RaceScript script(settings);
    script.startRace(10'000);
    for (int lap = 1; lap <= 121; ++lap)
        script.cross(0, 10'000 + 5000 * lap);
    for (int lap = 1; lap <= 120; ++lap)
        script.cross(1, 10'000 + 5000 * lap + 1234);

    EXPECT_EQ(script.racer(1).lapsText, "120");
    EXPECT_EQ(script.racer(1).gapText, "1 [ 0:01:234 ]");
    EXPECT_EQ(script.racer(0).lapClockAt(121), 10'000 + 5000 * 121);
}
