#include "engine/racescript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Sounds = std::vector<std::string>;

namespace {

constexpr const char *kLeading = "- průběžné vedení -";
constexpr const char *kDisqualifiedGap = "- diskvalifikace -";
constexpr const char *kPleaseWait = "Akce se právě provádí, strpení ...";
constexpr const char *kIllogical = "Akce nelze provést, je v rozporu s logikou!";
constexpr const char *kAdamDisqualified = "Závodník [Adam] již byl diskvalifikován! Prosím, opusťte závod.";
constexpr const char *kBaraDisqualified = "Závodník [Bára] již byl diskvalifikován! Prosím, opusťte závod.";
constexpr const char *kAdamFinished = "Závodník [Adam] již závod dojel! Prosím, vyčkejte na konec závodu.";

int goButton(int seat) { return 3100 + 2 * seat; }
int disqualifyButton(int seat) { return 3101 + 2 * seat; }

// Seats 0 to 3 complete lap 1 in seat order, half a second apart.
void fourSeatsOnLapOne(RaceScript &script)
{
    script.startRace(10'000);
    for (int seat = 0; seat < 4; ++seat)
        script.cross(seat, 15'000 + 500 * seat);
    script.host.takeSounds();
}

RaceSettings withOffTrackCounting(const char *counting)
{
    RaceSettings settings = RaceScript::twoRacers();
    settings.lapsPerRide = "20";
    settings.autoOffTrackCounting = counting;
    return settings;
}

} // namespace

TEST(RaceEvents, DisqualifyingPosition2Of4MovesTheSeatsBehindUp)
{
    RaceScript script;
    fourSeatsOnLapOne(script);
    script.racer(0).gapText = "..."; // as a shift would have left it
    script.engine.racerButtonCommand(disqualifyButton(1));
    EXPECT_TRUE(script.racer(1).disqualifyRequested);
    EXPECT_EQ(script.racer(1).rankText, "2") << "carried out at the next crossing";

    script.cross(1, 20'500);
    const RacerState &bara = script.racer(1);
    EXPECT_EQ(bara.lapsText, "2") << "the disqualifying crossing counts its lap";
    EXPECT_EQ(bara.rankText, "!");
    EXPECT_EQ(bara.flagCode, "0");
    EXPECT_EQ(bara.gapText, kDisqualifiedGap);
    EXPECT_TRUE(bara.disqualified);
    EXPECT_FALSE(bara.disqualifyRequested);
    EXPECT_EQ(script.racer(0).rankText, "1");
    EXPECT_EQ(script.racer(0).gapText, kLeading);
    EXPECT_EQ(script.racer(2).rankText, "2");
    EXPECT_EQ(script.racer(3).rankText, "3");
    EXPECT_EQ(script.host.takeSounds(), Sounds{"soubory/nextRounds.wav"});
}

TEST(RaceEvents, DisqualifyingTheLeaderHandsTheLeadToTheSecond)
{
    RaceScript script;
    fourSeatsOnLapOne(script);
    script.engine.racerButtonCommand(disqualifyButton(0));
    script.cross(0, 20'000);

    EXPECT_EQ(script.racer(0).rankText, "!");
    EXPECT_EQ(script.racer(1).rankText, "1");
    EXPECT_EQ(script.racer(1).gapText, kLeading);
    EXPECT_EQ(script.racer(2).rankText, "2");
    EXPECT_EQ(script.racer(3).rankText, "3");
    EXPECT_EQ(script.racer(2).gapText, " [ 0:01:000 ]") << "gaps behind are not made stale";
}

TEST(RaceEvents, ButtonsRefuseARequestThatIsPendingOrDoesNotFitTheSeat)
{
    RaceScript script;
    fourSeatsOnLapOne(script);

    script.host.expectMessage(kIllogical);
    script.engine.racerButtonCommand(goButton(2));
    EXPECT_EQ(script.racer(2).rankText, "3");
    EXPECT_FALSE(script.racer(2).readmitRequested);
    EXPECT_EQ(script.host.messages.back().caption, "Varování");
    EXPECT_EQ(script.host.messages.back().icon, MessageIcon::Warning);

    script.engine.racerButtonCommand(disqualifyButton(2));
    script.host.expectMessage(kPleaseWait);
    script.engine.racerButtonCommand(disqualifyButton(2));
    EXPECT_EQ(script.host.messages.back().caption, "Informace");
    EXPECT_EQ(script.host.messages.back().icon, MessageIcon::Information);

    script.cross(2, 21'000);
    ASSERT_TRUE(script.racer(2).disqualified);
    script.host.expectMessage(kIllogical);
    script.engine.racerButtonCommand(disqualifyButton(2));

    script.engine.racerButtonCommand(goButton(2));
    script.host.expectMessage(kPleaseWait);
    script.engine.racerButtonCommand(goButton(2));
    ASSERT_FALSE(script.host.sounds.empty());
    EXPECT_EQ(script.host.sounds.back(), "soubory/go.wav");
}

// Seat 1 is disqualified at lap 2 and readmitted while seat 0 has 4 laps and
// seats 2 and 3 still 1: it rejoins behind the last placed seat, moves up
// past both on its laps, and takes part in the standings again.
TEST(RaceEvents, ReadmissionPlacesTheSeatBehindTheLastAndBackIntoTheStandings)
{
    RaceScript script;
    fourSeatsOnLapOne(script);
    script.engine.racerButtonCommand(disqualifyButton(1));
    script.cross(0, 20'000);
    script.cross(1, 20'500);
    script.cross(0, 25'000);
    script.cross(0, 30'000);
    ASSERT_EQ(script.racer(0).rankText, "1");
    ASSERT_EQ(script.racer(2).rankText, "2");
    ASSERT_EQ(script.racer(3).rankText, "3");

    script.host.expectMessage(kBaraDisqualified);
    script.cross(1, 25'500);
    EXPECT_EQ(script.racer(1).lapsText, "2") << "a disqualified seat counts no laps";

    ASSERT_EQ(script.racer(1).flagCode, "0");
    script.paint();
    script.engine.racerButtonCommand(goButton(1));
    EXPECT_EQ(script.racer(1).rankText, "GO");
    EXPECT_EQ(script.racer(1).flagCode, "1");
    EXPECT_TRUE(script.racer(1).disqualified) << "until its next crossing";
    EXPECT_EQ(script.state().repaintRow, 1);
    EXPECT_EQ(script.host.sounds.back(), "soubory/go.wav");

    script.host.takeSounds();
    script.cross(1, 30'900, 2);

    const RacerState &bara = script.racer(1);
    EXPECT_FALSE(bara.disqualified);
    EXPECT_FALSE(bara.readmitRequested);
    EXPECT_EQ(bara.lapsText, "2") << "the readmitting crossing counts no lap";
    EXPECT_EQ(script.racer(0).rankText, "1");
    EXPECT_EQ(bara.rankText, "2");
    EXPECT_EQ(script.racer(2).rankText, "3") << "moved back once, by the first pass only";
    EXPECT_EQ(script.racer(3).rankText, "4");
    EXPECT_EQ(bara.gapText, "2 [ 0:10:900 ]") << "seat 0 completed lap 2 at 20'000";
    EXPECT_EQ(bara.flagCode, "1");
    EXPECT_EQ(bara.tankText, "8") << "not written by a readmission";
    EXPECT_EQ(script.host.takeSounds(), Sounds{"soubory/nextRounds.wav"});
    EXPECT_EQ(script.state().repaintRow, 1);

    script.cross(1, 36'000);
    EXPECT_EQ(bara.lapsText, "3");
    EXPECT_EQ(bara.rankText, "2");
}

TEST(RaceEvents, ThreeOffTrackMarksCountDownTheFlagsAndTheFourthInARowDisqualifies)
{
    RaceScript script(withOffTrackCounting("1"));
    script.startRace(10'000);
    std::uint32_t time = 10'000;
    auto lap = [&](int eventDigit, int tankDigit = 7) {
        time += 5000;
        script.cross(0, time, tankDigit, eventDigit);
        return script.racer(0).flagCode;
    };

    EXPECT_EQ(lap(3), "5");
    EXPECT_EQ(script.host.takeSounds(), (Sounds{"soubory/nextRounds.wav", "soubory/relais.wav"}));
    EXPECT_EQ(lap(3), "4");
    EXPECT_EQ(lap(3, 1), "3") << "a counted mark ends the crossing before the tank flags";
    EXPECT_EQ(script.racer(0).tankText, "2");
    EXPECT_EQ(script.host.takeSounds(), (Sounds{"soubory/nextRounds.wav", "soubory/nextRounds.wav"}));

    EXPECT_EQ(lap(0), "1") << "an unmarked crossing resets the count";
    EXPECT_EQ(lap(3), "5");
    EXPECT_EQ(lap(3), "4");
    EXPECT_EQ(lap(3), "3");
    EXPECT_EQ(script.host.takeSounds(),
              (Sounds{"soubory/nextRounds.wav", "soubory/nextRounds.wav", "soubory/relais.wav",
                      "soubory/nextRounds.wav", "soubory/nextRounds.wav"}));

    EXPECT_EQ(lap(3), "0");
    EXPECT_TRUE(script.racer(0).disqualified);
    EXPECT_EQ(script.racer(0).rankText, "!");
    EXPECT_EQ(script.racer(0).gapText, kDisqualifiedGap);
    EXPECT_EQ(script.racer(0).lapsText, "8");
}

TEST(RaceEvents, OffTrackMarkWithCountingOffHasNoEffect)
{
    RaceScript script(withOffTrackCounting("0"));
    script.startRace(10'000);
    for (int lap = 1; lap <= 5; ++lap)
        script.cross(0, 10'000 + 5000 * lap, 7, 3);
    EXPECT_EQ(script.racer(0).flagCode, "1");
    EXPECT_EQ(script.racer(0).offTrackCount, 0);
    EXPECT_FALSE(script.racer(0).disqualified);

    script.host.takeSounds();
    script.cross(0, 40'000, 1, 3);
    EXPECT_EQ(script.racer(0).flagCode, "6") << "the tank flags still follow";
    EXPECT_EQ(script.host.takeSounds(), (Sounds{"soubory/nextRounds.wav", "soubory/fuellow.wav"}));
}

TEST(RaceEvents, TankDigitOneWarnsEveryLapAndZeroShowsEmptyWithoutSound)
{
    RaceScript script;
    script.startRace(10'000);
    for (int lap = 1; lap <= 2; ++lap) {
        script.cross(0, 10'000 + 5000 * lap, 1);
        EXPECT_EQ(script.racer(0).tankText, "2");
        EXPECT_EQ(script.racer(0).flagCode, "6");
        EXPECT_EQ(script.host.takeSounds(), (Sounds{"soubory/nextRounds.wav", "soubory/fuellow.wav"}));
    }
    script.cross(0, 25'000, 0);
    EXPECT_EQ(script.racer(0).tankText, "1");
    EXPECT_EQ(script.racer(0).flagCode, "7");
    EXPECT_EQ(script.host.takeSounds(), Sounds{"soubory/nextRounds.wav"});

    script.cross(0, 30'000, 9);
    EXPECT_EQ(script.racer(0).tankText, "10");
    EXPECT_EQ(script.racer(0).flagCode, "1");
}

TEST(RaceEvents, FirstFinisherStopsTheRaceClockAndLaterFinishersDoNotRestartIt)
{
    RaceSettings settings = RaceScript::twoRacers();
    settings.lapsPerRide = "2";
    RaceScript script(settings);
    script.startRace(10'000);
    ASSERT_TRUE(script.state().raceClockRunning);
    script.engine.raceClockTick();
    script.cross(0, 15'000);
    script.cross(1, 15'500);
    script.host.clockMs = 19'000;
    script.engine.raceClockTick();
    script.cross(0, 20'000);
    script.host.takeSounds();
    EXPECT_FALSE(script.state().raceClockRunning);
    EXPECT_EQ(script.racer(0).flagCode, "2");

    script.host.clockMs = 20'400;
    script.engine.raceClockTick();
    EXPECT_EQ(script.state().raceElapsedMs, 9000.0) << "frozen at its last tick";
    EXPECT_EQ(script.host.title,
              "..:: Základní program modelové autodráhy Tramelo ::.. VOLENá KOLA: 2 / čAS ZáVODU: 0:09:000");

    script.cross(1, 20'500);
    EXPECT_FALSE(script.state().raceClockRunning);
    EXPECT_EQ(script.racer(1).flagCode, "2");
    EXPECT_EQ(script.racer(1).lapsText, "2");
    EXPECT_EQ(script.host.takeSounds(), Sounds{"soubory/finish.wav"}) << "no lap sound on the finish";
}

// A car that makes its start crossing only after the first finish used to
// set the race clock going again, so the winner's total time kept running.
TEST(RaceEvents, LateStartCrossingAfterTheFirstFinishDoesNotRestartTheRaceClock)
{
    RaceSettings settings = RaceScript::twoRacers();
    settings.lapsPerRide = "1";
    RaceScript script(settings);
    for (int channel = 1; channel <= 3; ++channel)
        script.report(channel, 500);
    script.poll();
    script.state().startSignalGiven = true;
    script.report(1, 10'000); // only seat 0 starts
    script.poll();
    ASSERT_TRUE(script.state().raceClockRunning);
    script.cross(0, 15'000);
    ASSERT_FALSE(script.state().raceClockRunning);

    script.report(3, 16'000); // seat 2's start crossing
    script.poll();
    EXPECT_TRUE(script.channel(2).started);
    EXPECT_FALSE(script.state().raceClockRunning);
}

TEST(RaceEvents, CrossingAfterFinishingBeepsOnceAndChangesNothing)
{
    RaceSettings settings = RaceScript::twoRacers();
    settings.lapsPerRide = "1";
    RaceScript script(settings);
    script.startRace(10'000);
    script.cross(0, 15'000);
    script.host.takeSounds();
    const RacerState before = script.racer(0);

    script.host.whileNextMessageOpen([&] { script.poll(); }); // the poll goes on under the box
    script.host.expectMessage(kAdamFinished);
    script.cross(0, 20'000);

    EXPECT_EQ(script.host.messages.size(), 1u) << "the nested tick does not report it again";
    EXPECT_EQ(script.host.messages.back().caption, "informace");
    EXPECT_EQ(script.host.takeSounds(), Sounds{"soubory/beep.wav"});
    const RacerState &after = script.racer(0);
    EXPECT_EQ(after.lapsText, before.lapsText);
    EXPECT_EQ(after.lastLapTimeText, before.lastLapTimeText);
    EXPECT_EQ(after.rankText, before.rankText);
    EXPECT_EQ(after.flagCode, "2");
    EXPECT_EQ(script.state().repaintRow, kNoRow);
    EXPECT_EQ(script.channel(0).lastTimestamp, 20'000u);
}

TEST(RaceEvents, CrossingOfADisqualifiedSeatBeepsAndIsReportedOnce)
{
    RaceScript script;
    script.startRace(10'000);
    script.engine.racerButtonCommand(disqualifyButton(0));
    script.cross(0, 15'000);
    script.host.takeSounds();

    script.host.whileNextMessageOpen([&] { script.poll(); });
    script.host.expectMessage(kAdamDisqualified);
    script.cross(0, 20'000);

    EXPECT_EQ(script.host.messages.size(), 1u);
    EXPECT_EQ(script.host.takeSounds(), (Sounds{"soubory/nextRounds.wav", "soubory/beep.wav"}));
    EXPECT_EQ(script.racer(0).lapsText, "1");
    EXPECT_EQ(script.racer(0).rankText, "!");
    EXPECT_EQ(script.state().repaintRow, kNoRow);
}
