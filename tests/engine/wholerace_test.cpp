// A whole race of seven cars over 20 laps on the factory track (20 m at 1:32,
// so a lap of t ms averages 2 304 000 / t km/h), played crossing by crossing.
// Every expected value below is worked out by hand from the script.
//
// The cars start at 10 000 + 10 x seat ms, so no two crossings coincide:
//   seat 0 Adam   5000 ms laps, lap 7 is 4608 ms      (finishes at 109 608)
//   seat 1 Bára   4800 ms laps                        (finishes at 106 010, first)
//   seat 2 Cyril  8800 ms first lap, then 4900 ms     (finishes at 111 920)
//   seat 3 Dana   5200 ms laps, off the track before laps 5 to 8: the fourth
//                 counted mark disqualifies her at lap 8 (51 630); she crosses
//                 once more (56 830) and leaves
//   seat 4 Emil   5100 ms laps, tank 2 on laps 15-17, tank 1 on laps 18-20
//                                                     (finishes at 112 040)
//   seat 5 Filip  6000 ms laps                        (finishes at 130 050)
//   seat 6        no racer and no car
//   seat 7 Hana   5400 ms laps                        (finishes at 118 070)
#include "engine/racescript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace {

struct ScriptedCrossing {
    std::uint32_t time;
    int seat, tankDigit, eventDigit;
};

std::uint32_t startOf(int seat) { return 10'000 + 10 * static_cast<std::uint32_t>(seat); }

// The crossings of the table above in time order.
std::vector<ScriptedCrossing> raceScript()
{
    std::vector<ScriptedCrossing> crossings;
    for (const auto &[seat, count, lapMs] :
         {std::array{0, 20, 5000}, {1, 20, 4800}, {2, 20, 4900}, {3, 9, 5200}, {4, 20, 5100}, {5, 20, 6000},
          {7, 20, 5400}}) {
        std::uint32_t time = startOf(seat);
        for (int lap = 1; lap <= count; ++lap) {
            time += seat == 0 && lap == 7 ? 4608 : seat == 2 && lap == 1 ? 8800 : lapMs;
            const int tank = seat != 4 || lap < 15 ? 7 : lap < 18 ? 1 : 0;
            crossings.push_back({time, seat, tank, seat == 3 && lap >= 5 && lap <= 8 ? 3 : 0});
        }
    }
    std::sort(crossings.begin(), crossings.end(), [](auto &a, auto &b) { return a.time < b.time; });
    return crossings;
}

} // namespace

TEST(WholeRace, EightSeatsOverTwentyLapsEndAsTheScriptImplies)
{
    RaceScript script;
    script.settings.racerName = {"Adam", "Bára", "Cyril", "Dana", "Emil", "Filip", "", "Hana"};
    script.settings.lapsPerRide = "20";
    script.settings.autoOffTrackCounting = "1";
    script.synchronise();
    script.state().startSignalGiven = true;
    script.engine.enterRaceScreen();
    for (int seat : {0, 1, 2, 3, 4, 5, 7})
        script.report(seat + 1, startOf(seat));
    script.host.clockMs = 10'070;
    script.poll();
    script.engine.raceClockTick();
    ASSERT_EQ(script.state().raceStartClock, 10'070);

    const std::vector<ScriptedCrossing> crossings = raceScript();
    ASSERT_EQ(crossings.size(), 129u);
    auto next = crossings.begin();
    auto runThrough = [&](std::uint32_t time) {
        for (; next != crossings.end() && next->time <= time; ++next) {
            script.cross(next->seat, next->time, next->tankDigit, next->eventDigit);
            script.engine.raceClockTick();
        }
    };
    auto ranks = [&] { return script.column(&RacerState::rankText); };

    // Before Dana's lap 8: Bára, Adam, Emil on 8 laps; Dana, Hana, Cyril on 7;
    // Filip on 6. Her disqualification moves the three behind her up.
    script.host.expectMessage("Závodník [Dana] již byl diskvalifikován! Prosím, opusťte závod.");
    runThrough(51'630);
    EXPECT_EQ(ranks(), (Texts{"2", "1", "5", "!", "3", "6", "( )", "4"}));
    EXPECT_EQ(script.racer(3).gapText, "- diskvalifikace -");

    // Filip completes lap 15 with Bára on 18 laps; she completed lap 15 at 82 010.
    runThrough(100'050);
    EXPECT_EQ(script.racer(5).gapText, "3 [ 0:18:040 ]");
    EXPECT_EQ(ranks(), (Texts{"2", "1", "4", "!", "3", "6", "( )", "5"})) << "Cyril passed Hana at lap 8";

    // Cyril passes Emil on the last lap; the finishing crossing shifts no one.
    runThrough(111'920);
    EXPECT_EQ(script.racer(2).rankText, "3");
    EXPECT_EQ(script.racer(4).rankText, "3");

    runThrough(124'050);
    EXPECT_FALSE(script.engine.raceIsOver());
    runThrough(130'050);
    EXPECT_TRUE(script.engine.raceIsOver());

    // Rank, laps, best lap, top speed, gap, tank and flag of each seat.
    const Texts expected[kSeatCount] = {
        {"2", "20", "0:04:608", "500", " [ 0:03:598 ]", "8", "2"},
        {"1", "20", "0:04:800", "480", "- průběžné vedení -", "8", "2"},
        {"3", "20", "0:04:900", "470", " [ 0:05:910 ]", "8", "2"},
        {"!", "8", "0:05:200", "443", "- diskvalifikace -", "8", "0"},
        {"4", "20", "0:05:100", "451", " [ 0:06:030 ]", "1", "2"},
        {"6", "20", "0:06:000", "384", " [ 0:24:040 ]", "8", "2"},
        {"( )", "0", "...", "...", "...", "8", "1"},
        {"5", "20", "0:05:400", "426", " [ 0:12:060 ]", "8", "2"},
    };
    for (int seat = 0; seat < kSeatCount; ++seat) {
        const RacerState &r = script.racer(seat);
        const Texts cells{r.rankText, r.lapsText, r.bestLapTimeText, r.bestSpeedText, r.gapText, r.tankText, r.flagCode};
        EXPECT_EQ(cells, expected[seat]) << seat;
    }

    // The clock stopped at Bára's finish, and no later finish restarted it:
    // its last tick followed Adam's lap 19 at 104 608.
    EXPECT_EQ(script.state().raceElapsedMs, 94'538.0);
    EXPECT_EQ(script.host.title,
              "..:: Základní program modelové autodráhy Tramelo ::.. VOLENá KOLA: 20 / čAS ZáVODU: 1:34:538");

    // 129 crossings: six finishes without the lap sound, Dana's relais at her
    // first mark and her beep after the disqualification, Emil's low tank on
    // laps 15 to 17.
    std::map<std::string, int> soundCounts;
    for (const std::string &sound : script.host.sounds)
        ++soundCounts[sound];
    EXPECT_EQ(soundCounts, (std::map<std::string, int>{{"soubory/nextRounds.wav", 123},
                                                       {"soubory/finish.wav", 6},
                                                       {"soubory/relais.wav", 1},
                                                       {"soubory/fuellow.wav", 3},
                                                       {"soubory/beep.wav", 1}}));
}
