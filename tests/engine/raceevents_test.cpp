#include "engine/racescript.h"

#include <gtest/gtest.h>

namespace {

constexpr const char *kLeading = "- průběžné vedení -";
constexpr const char *kDisqualifiedGap = "- diskvalifikace -";
const Message kPleaseWait{"Informace", "Akce se právě provádí, strpení ...", MessageButtons::Ok,
                          MessageIcon::Information};
const Message kIllogical{"Varování", "Akce nelze provést, je v rozporu s logikou!", MessageButtons::Ok,
                         MessageIcon::Warning};
constexpr const char *kAdamDisqualified = "Závodník [Adam] již byl diskvalifikován! Prosím, opusťte závod.";
constexpr const char *kAdamFinished = "Závodník [Adam] již závod dojel! Prosím, vyčkejte na konec závodu.";
const std::string kLapSound = "soubory/nextRounds.wav";
const std::string kFuelLow = "soubory/fuellow.wav";
const std::string kRelais = "soubory/relais.wav";

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

struct Lap {
    int tankDigit, eventDigit;
    Texts tankAndFlag, sounds;
};

// Seat 0 drives five-second laps reporting the given digits; each lap's tank
// and flag cells and sounds are checked.
void driveLaps(RaceScript &script, const std::vector<Lap> &laps)
{
    script.startRace(10'000);
    std::uint32_t time = 10'000;
    for (const Lap &lap : laps) {
        script.cross(0, time += 5000, lap.tankDigit, lap.eventDigit);
        EXPECT_EQ((Texts{script.racer(0).tankText, script.racer(0).flagCode}), lap.tankAndFlag) << time;
        EXPECT_EQ(script.host.takeSounds(), lap.sounds) << time;
    }
}

} // namespace

// A disqualification is carried out at the seat's next crossing, which still
// counts its lap, and the seats behind move up. Seat 1 takes the lead on that
// lap first, which makes the gaps behind stale; a disqualified leader leaves
// them as they were.
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
    script.host.expectMessage(kIllogical.text);
    script.engine.racerButtonCommand(goButton(2)); // the seat races
    EXPECT_EQ(script.racer(2).rankText, "3");
    EXPECT_FALSE(script.racer(2).readmitRequested);
    script.engine.racerButtonCommand(disqualifyButton(2));
    script.host.expectMessage(kPleaseWait.text);
    script.engine.racerButtonCommand(disqualifyButton(2));

    script.cross(2, 21'000);
    ASSERT_TRUE(script.racer(2).disqualified);
    script.host.expectMessage(kIllogical.text);
    script.engine.racerButtonCommand(disqualifyButton(2));
    script.engine.racerButtonCommand(goButton(2));
    script.host.expectMessage(kPleaseWait.text);
    script.engine.racerButtonCommand(goButton(2));
    EXPECT_EQ(script.host.messages, (std::vector<Message>{kIllogical, kPleaseWait, kIllogical, kPleaseWait}));
    EXPECT_EQ(script.host.takeSounds(), (Texts{kLapSound, "soubory/go.wav"}));
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
    EXPECT_FALSE(bara.disqualified || bara.readmitRequested);
    EXPECT_EQ(bara.lapsText, "2") << "the readmitting crossing counts no lap";
    // Seats 2 and 3 move back once, by the first pass only.
    EXPECT_EQ(script.column(&RacerState::rankText, 4), (Texts{"1", "2", "3", "4"}));
    EXPECT_EQ(bara.gapText, "2 [ 0:10:900 ]") << "seat 0 completed lap 2 at 20'000";
    EXPECT_EQ((Texts{bara.flagCode, bara.tankText}), (Texts{"1", "8"})) << "the tank is not written by a readmission";
    EXPECT_EQ(script.host.takeSounds(), Texts{kLapSound});
    EXPECT_EQ(script.state().repaintRow, 1);

    script.cross(1, 36'000);
    EXPECT_EQ((Texts{bara.lapsText, bara.rankText}), (Texts{"3", "2"}));
}

// A counted mark ends the crossing before the tank flags (the third lap);
// an unmarked crossing resets the count.
TEST(RaceEvents, ThreeOffTrackMarksCountDownTheFlagsAndTheFourthInARowDisqualifies)
{
    RaceScript script(RaceScript::twoRacers("20"));
    script.settings.autoOffTrackCounting = "1";
    driveLaps(script, {{7, 3, {"8", "5"}, {kLapSound, kRelais}}, {7, 3, {"8", "4"}, {kLapSound}},
                       {1, 3, {"2", "3"}, {kLapSound}}, {7, 0, {"8", "1"}, {kLapSound}},
                       {7, 3, {"8", "5"}, {kLapSound, kRelais}}, {7, 3, {"8", "4"}, {kLapSound}},
                       {7, 3, {"8", "3"}, {kLapSound}}, {7, 3, {"8", "0"}, {kLapSound}}});
    const RacerState &adam = script.racer(0);
    EXPECT_TRUE(adam.disqualified);
    EXPECT_EQ((Texts{adam.lapsText, adam.rankText, adam.gapText}), (Texts{"8", "!", kDisqualifiedGap}));
}

// With off-track counting off (the factory setting) marks count for
// nothing, not even the fourth in a row.
TEST(RaceEvents, TankDigitOneWarnsEveryLapZeroShowsEmptyAndMarksCountForNothingWhenOff)
{
    RaceScript script(RaceScript::twoRacers("20"));
    driveLaps(script, {{7, 3, {"8", "1"}, {kLapSound}}, {7, 3, {"8", "1"}, {kLapSound}},
                       {7, 3, {"8", "1"}, {kLapSound}}, {7, 3, {"8", "1"}, {kLapSound}},
                       {1, 3, {"2", "6"}, {kLapSound, kFuelLow}}, {1, 0, {"2", "6"}, {kLapSound, kFuelLow}},
                       {0, 0, {"1", "7"}, {kLapSound}}, {9, 0, {"10", "1"}, {kLapSound}}});
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
        const RacerState &adam = script.racer(0);
        auto cells = [&] { return Texts{adam.lapsText, adam.lastLapTimeText, adam.rankText, adam.flagCode}; };
        const Texts before = cells();
        ASSERT_EQ(before.back(), c.disqualified ? "0" : "2");

        script.host.whileNextMessageOpen([&] { script.poll(); });
        script.host.expectMessage(c.text);
        script.cross(0, 20'000);
        EXPECT_EQ(script.host.messages,
                  (std::vector<Message>{{"informace", c.text, MessageButtons::Ok, MessageIcon::Information}}));
        EXPECT_EQ(script.host.takeSounds(), c.sounds);
        EXPECT_EQ(cells(), before);
        EXPECT_EQ(script.state().repaintRow, kNoRow);
        EXPECT_EQ(script.channel(0).lastTimestamp, 20'000u);
    }
}
