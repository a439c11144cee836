#include "engine/racescript.h"

#include <gtest/gtest.h>

namespace {

constexpr const char *kLeading = "- průběžné vedení -";
constexpr const char *kDisqualifiedGap = "- diskvalifikace -";
constexpr const char *kPleaseWait = "Akce se právě provádí, strpení ...";
constexpr const char *kIllogical = "Akce nelze provést, je v rozporu s logikou!";
constexpr const char *kAdamDisqualified = "Závodník [Adam] již byl diskvalifikován! Prosím, opusťte závod.";
constexpr const char *kAdamFinished = "Závodník [Adam] již závod dojel! Prosím, vyčkejte na konec závodu.";
const std::string kLapSound = "soubory/nextRounds.wav";

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

} // namespace

// A disqualification is carried out at the seat's next crossing, which still
// counts its lap; the seats behind move up and gaps behind are not made stale.
TEST(RaceEvents, DisqualificationMovesTheSeatsBehindUpAndHandsOnTheLead)
{
    const struct {
        int seat;
        std::uint32_t crossing;
        Texts ranks, gaps;
    } cases[] = {
        {1, 20'500, {"1", "!", "2", "3"}, {kLeading, kDisqualifiedGap, "...", "..."}},
        {0, 20'000, {"!", "1", "2", "3"}, {kDisqualifiedGap, kLeading, " [ 0:01:000 ]", " [ 0:01:500 ]"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.seat);
        RaceScript script;
        fourSeatsOnLapOne(script);
        script.racer(0).gapText = "..."; // as a shift would have left it
        script.engine.racerButtonCommand(disqualifyButton(c.seat));
        EXPECT_TRUE(script.racer(c.seat).disqualifyRequested);
        EXPECT_EQ(script.racer(c.seat).rankText, std::to_string(c.seat + 1)) << "not yet";

        script.cross(c.seat, c.crossing);
        const RacerState &racer = script.racer(c.seat);
        EXPECT_EQ((Texts{racer.lapsText, racer.flagCode}), (Texts{"2", "0"}));
        EXPECT_TRUE(racer.disqualified);
        EXPECT_FALSE(racer.disqualifyRequested);
        EXPECT_EQ(script.column(&RacerState::rankText, 4), c.ranks);
        EXPECT_EQ(script.column(&RacerState::gapText, 4), c.gaps);
        EXPECT_EQ(script.host.takeSounds(), Texts{kLapSound});
    }
}

TEST(RaceEvents, ButtonsRefuseARequestThatIsPendingOrDoesNotFitTheSeat)
{
    RaceScript script;
    fourSeatsOnLapOne(script);
    const Message illogical{"Varování", kIllogical, MessageButtons::Ok, MessageIcon::Warning};
    const Message pleaseWait{"Informace", kPleaseWait, MessageButtons::Ok, MessageIcon::Information};

    script.host.expectMessage(kIllogical);
    script.engine.racerButtonCommand(goButton(2));
    EXPECT_EQ(script.host.messages.back(), illogical);
    EXPECT_EQ(script.racer(2).rankText, "3");
    EXPECT_FALSE(script.racer(2).readmitRequested);

    script.engine.racerButtonCommand(disqualifyButton(2));
    script.host.expectMessage(kPleaseWait);
    script.engine.racerButtonCommand(disqualifyButton(2));
    EXPECT_EQ(script.host.messages.back(), pleaseWait);

    script.cross(2, 21'000);
    ASSERT_TRUE(script.racer(2).disqualified);
    script.host.expectMessage(kIllogical);
    script.engine.racerButtonCommand(disqualifyButton(2));

    script.engine.racerButtonCommand(goButton(2));
    script.host.expectMessage(kPleaseWait);
    script.engine.racerButtonCommand(goButton(2));
    EXPECT_EQ(script.host.messages.size(), 4u);
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
    ASSERT_EQ(script.column(&RacerState::rankText, 4), (Texts{"1", "!", "2", "3"}));

    script.host.expectMessage("Závodník [Bára] již byl diskvalifikován! Prosím, opusťte závod.");
    script.cross(1, 25'500);
    EXPECT_EQ(script.racer(1).lapsText, "2") << "a disqualified seat counts no laps";

    script.paint();
    script.engine.racerButtonCommand(goButton(1));
    EXPECT_EQ((Texts{script.racer(1).rankText, script.racer(1).flagCode}), (Texts{"GO", "1"}));
    EXPECT_TRUE(script.racer(1).disqualified) << "until its next crossing";
    EXPECT_EQ(script.state().repaintRow, 1);
    EXPECT_EQ(script.host.sounds.back(), "soubory/go.wav");

    script.host.takeSounds();
    script.cross(1, 30'900, 2);
    const RacerState &bara = script.racer(1);
    EXPECT_FALSE(bara.disqualified);
    EXPECT_FALSE(bara.readmitRequested);
    EXPECT_EQ(bara.lapsText, "2") << "the readmitting crossing counts no lap";
    // Seats 2 and 3 move back once, by the first pass only.
    EXPECT_EQ(script.column(&RacerState::rankText, 4), (Texts{"1", "2", "3", "4"}));
    EXPECT_EQ(bara.gapText, "2 [ 0:10:900 ]") << "seat 0 completed lap 2 at 20'000";
    EXPECT_EQ(bara.flagCode, "1");
    EXPECT_EQ(bara.tankText, "8") << "not written by a readmission";
    EXPECT_EQ(script.host.takeSounds(), Texts{kLapSound});
    EXPECT_EQ(script.state().repaintRow, 1);

    script.cross(1, 36'000);
    EXPECT_EQ((Texts{bara.lapsText, bara.rankText}), (Texts{"3", "2"}));
}

TEST(RaceEvents, ThreeOffTrackMarksCountDownTheFlagsAndTheFourthInARowDisqualifies)
{
    RaceScript script(RaceScript::twoRacers("20"));
    script.settings.autoOffTrackCounting = "1";
    script.startRace(10'000);
    std::uint32_t time = 10'000;
    auto lap = [&](int eventDigit, int tankDigit = 7) {
        script.cross(0, time += 5000, tankDigit, eventDigit);
        return script.racer(0).flagCode;
    };

    EXPECT_EQ(lap(3), "5");
    EXPECT_EQ(script.host.takeSounds(), (Texts{kLapSound, "soubory/relais.wav"}));
    EXPECT_EQ(lap(3), "4");
    EXPECT_EQ(lap(3, 1), "3") << "a counted mark ends the crossing before the tank flags";
    EXPECT_EQ(script.racer(0).tankText, "2");
    EXPECT_EQ(script.host.takeSounds(), (Texts{kLapSound, kLapSound}));

    EXPECT_EQ(lap(0), "1") << "an unmarked crossing resets the count";
    EXPECT_EQ(lap(3), "5");
    EXPECT_EQ(lap(3), "4");
    EXPECT_EQ(lap(3), "3");
    EXPECT_EQ(script.host.takeSounds(), (Texts{kLapSound, kLapSound, "soubory/relais.wav", kLapSound, kLapSound}));

    EXPECT_EQ(lap(3), "0");
    EXPECT_TRUE(script.racer(0).disqualified);
    EXPECT_EQ((Texts{script.racer(0).rankText, script.racer(0).gapText}), (Texts{"!", kDisqualifiedGap}));
    EXPECT_EQ(script.racer(0).lapsText, "8");
}

TEST(RaceEvents, OffTrackMarkWithCountingOffHasNoEffect)
{
    RaceScript script(RaceScript::twoRacers("20"));
    script.settings.autoOffTrackCounting = "0";
    script.startRace(10'000);
    for (int lap = 1; lap <= 5; ++lap)
        script.cross(0, 10'000 + 5000 * lap, 7, 3);
    EXPECT_EQ(script.racer(0).flagCode, "1");
    EXPECT_EQ(script.racer(0).offTrackCount, 0);
    EXPECT_FALSE(script.racer(0).disqualified);

    script.host.takeSounds();
    script.cross(0, 40'000, 1, 3);
    EXPECT_EQ(script.racer(0).flagCode, "6") << "the tank flags still follow";
    EXPECT_EQ(script.host.takeSounds(), (Texts{kLapSound, "soubory/fuellow.wav"}));
}

TEST(RaceEvents, TankDigitOneWarnsEveryLapAndZeroShowsEmptyWithoutSound)
{
    RaceScript script;
    script.startRace(10'000);
    const struct {
        int digit;
        Texts tankAndFlag, sounds;
    } laps[] = {
        {1, {"2", "6"}, {kLapSound, "soubory/fuellow.wav"}},
        {1, {"2", "6"}, {kLapSound, "soubory/fuellow.wav"}},
        {0, {"1", "7"}, {kLapSound}},
        {9, {"10", "1"}, {kLapSound}},
    };
    std::uint32_t time = 10'000;
    for (const auto &lap : laps) {
        script.cross(0, time += 5000, lap.digit);
        EXPECT_EQ((Texts{script.racer(0).tankText, script.racer(0).flagCode}), lap.tankAndFlag) << time;
        EXPECT_EQ(script.host.takeSounds(), lap.sounds) << time;
    }
}

// A car that makes its start crossing only after the first finish used to
// set the race clock going again, so the winner's total time kept running.
TEST(RaceEvents, LateStartCrossingAfterTheFirstFinishDoesNotRestartTheRaceClock)
{
    RaceScript script(RaceScript::twoRacers("1"));
    script.synchronise(3);
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

// The poll goes on under the message box; the nested tick must not report
// the same crossing again. The seat's cells stay as they were.
TEST(RaceEvents, CrossingOfAFinishedOrDisqualifiedSeatBeepsAndIsReportedOnce)
{
    const struct {
        bool disqualified;
        const char *text;
        Texts sounds;
    } cases[] = {
        {false, kAdamFinished, {"soubory/beep.wav"}},
        {true, kAdamDisqualified, {kLapSound, "soubory/beep.wav"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        RaceScript script(RaceScript::twoRacers(c.disqualified ? "5" : "1"));
        script.startRace(10'000);
        if (c.disqualified)
            script.engine.racerButtonCommand(disqualifyButton(0));
        script.cross(0, 15'000);
        script.host.takeSounds();
        const Texts before{script.racer(0).lapsText, script.racer(0).lastLapTimeText, script.racer(0).rankText,
                           script.racer(0).flagCode};
        ASSERT_EQ(before.back(), c.disqualified ? "0" : "2");

        script.host.whileNextMessageOpen([&] { script.poll(); });
        script.host.expectMessage(c.text);
        script.cross(0, 20'000);
        EXPECT_EQ(script.host.messages,
                  (std::vector<Message>{{"informace", c.text, MessageButtons::Ok, MessageIcon::Information}}));
        EXPECT_EQ(script.host.takeSounds(), c.sounds);
        EXPECT_EQ((Texts{script.racer(0).lapsText, script.racer(0).lastLapTimeText, script.racer(0).rankText,
                         script.racer(0).flagCode}),
                  before);
        EXPECT_EQ(script.state().repaintRow, kNoRow);
        EXPECT_EQ(script.channel(0).lastTimestamp, 20'000u);
    }
}
