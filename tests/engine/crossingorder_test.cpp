// Crossings as the lap counter delivers them: each car's newest crossing in
// a block read every 350 ms, the repaint timer ticking every 10 ms. Every
// crossing must be counted before the next block overwrites it, in the order
// the cars crossed, and every time taken on the lap counter's clock.
#include "engine/racescript.h"
#include "engine/resultsfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

namespace {

constexpr const char *kLeading = "- průběžné vedení -";

struct TimedCrossing {
    std::uint32_t time;
    int seat;
    int tankDigit = 7;
};

class LapsKept : public RaceRecorder {
public:
    void lapCounted(const LapEntry &lap) override { laps.push_back(lap); }
    std::vector<LapEntry> laps;
};

RaceSettings eightRacers(const std::string &laps)
{
    RaceSettings settings = RaceScript::twoRacers(laps);
    settings.racerName = {"Adam", "Bára", "Cyril", "Dana", "Emil", "Filip", "Gita", "Hana"};
    return settings;
}

// The start crossings of \a starts (one per seat) in one block, the race screen up.
void startStaggered(RaceScript &script, const std::vector<std::uint32_t> &starts)
{
    script.synchronise();
    script.state().startSignalGiven = true;
    script.engine.enterRaceScreen();
    for (std::size_t seat = 0; seat < starts.size(); ++seat)
        script.report(static_cast<int>(seat) + 1, starts[seat]);
    script.host.clockMs = static_cast<std::int32_t>(starts.back());
    script.poll();
}

// Runs the program's timers from \a from to \a until: the lap counter takes
// each crossing when it happens, a block is read every 350 ms, and each
// 10 ms repaint tick paints the row waiting or hands over the next crossing.
void runTimers(RaceScript &script, std::vector<TimedCrossing> crossings, std::uint32_t from, std::uint32_t until)
{
    std::sort(crossings.begin(), crossings.end(), [](auto &a, auto &b) { return a.time < b.time; });
    auto next = crossings.begin();
    for (std::uint32_t now = from; now <= until; now += 10) {
        for (; next != crossings.end() && next->time <= now; ++next)
            script.report(next->seat + 1, next->time, next->tankDigit);
        script.host.clockMs = static_cast<std::int32_t>(now);
        if ((now - from) % 350 == 0)
            script.poll();
        if (script.state().repaintRow != kNoRow)
            script.engine.race().repaintDone();
        else
            script.engine.scanCrossings();
    }
}

// Eight cars 15 ms apart, all driving laps of \a lapMs over twelve laps.
void expectEveryLapOfADenseRace(std::uint32_t lapMs)
{
    SCOPED_TRACE(lapMs);
    RaceScript script(eightRacers("12"));
    LapsKept kept;
    script.engine.setRecorder(&kept);
    std::vector<std::uint32_t> starts;
    std::vector<TimedCrossing> crossings;
    for (int seat = 0; seat < kSeatCount; ++seat) {
        starts.push_back(10'000 + 15 * static_cast<std::uint32_t>(seat));
        for (std::uint32_t lap = 1; lap <= 12; ++lap)
            crossings.push_back({starts.back() + lap * lapMs, seat});
    }
    startStaggered(script, starts);
    runTimers(script, crossings, 10'110, 10'500 + 12 * lapMs);

    ASSERT_TRUE(script.engine.raceIsOver());
    EXPECT_EQ(script.column(&RacerState::lapsText), Texts(kSeatCount, "12"));
    EXPECT_EQ(script.column(&RacerState::rankText), (Texts{"1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(script.column(&RacerState::gapText),
              (Texts{kLeading, " [ 0:00:015 ]", " [ 0:00:030 ]", " [ 0:00:045 ]", " [ 0:00:060 ]", " [ 0:00:075 ]",
                     " [ 0:00:090 ]", " [ 0:00:105 ]"}));
    std::map<int, int> lapsOfSeat;
    for (const LapEntry &lap : kept.laps) {
        EXPECT_EQ(lap.lapMs, static_cast<std::int32_t>(lapMs)) << "seat " << lap.seat << " lap " << lap.lap;
        ++lapsOfSeat[lap.seat];
    }
    EXPECT_EQ(lapsOfSeat, (std::map<int, int>{{0, 12}, {1, 12}, {2, 12}, {3, 12}, {4, 12}, {5, 12}, {6, 12}, {7, 12}}));
    EXPECT_EQ(script.racer(0).raceTimeMs, static_cast<std::int32_t>(12 * lapMs));
    script.engine.setRecorder(nullptr);
}

// Eight cars over ten laps, close enough that most blocks hold several of
// them, some crossing within a few milliseconds of each other.
std::vector<TimedCrossing> closeRace(std::vector<std::uint32_t> &starts)
{
    std::vector<TimedCrossing> crossings;
    for (int seat = 0; seat < kSeatCount; ++seat) {
        const auto s = static_cast<std::uint32_t>(seat);
        starts.push_back(10'000 + 7 * s);
        std::uint32_t time = starts.back();
        for (std::uint32_t lap = 1; lap <= 10; ++lap) {
            time += 2'900 + 23 * s + (lap * s * 37) % 180;
            crossings.push_back({time, seat});
        }
    }
    return crossings;
}

// Each counted lap as the journal keeps it: the cells once the crossing is done.
std::vector<std::tuple<int, std::int64_t, std::int32_t, std::string, std::string>> lapsOfARun(std::uint32_t pollFrom)
{
    RaceScript script(eightRacers("10"));
    LapsKept kept;
    script.engine.setRecorder(&kept);
    std::vector<std::uint32_t> starts;
    const std::vector<TimedCrossing> crossings = closeRace(starts);
    startStaggered(script, starts);
    runTimers(script, crossings, pollFrom, 50'000);
    EXPECT_TRUE(script.engine.raceIsOver()) << pollFrom;
    script.engine.setRecorder(nullptr);
    std::vector<std::tuple<int, std::int64_t, std::int32_t, std::string, std::string>> laps;
    for (const LapEntry &lap : kept.laps)
        laps.emplace_back(lap.seat, lap.lap, lap.position, lap.gapText, lap.lapTimeText);
    return laps;
}

} // namespace

// A replay of the captured line polls the same crossings at other moments,
// so its blocks hold other groups of cars: every lap must come out the same,
// position and gap included.
TEST(CrossingOrder, AReplayPolledAtOtherMomentsCountsEveryLapAlike)
{
    const auto race = lapsOfARun(10'100);
    ASSERT_EQ(race.size(), 80u);
    for (std::uint32_t shift : {70u, 160u, 290u})
        EXPECT_EQ(lapsOfARun(10'100 + shift), race) << shift;
}

TEST(CrossingOrder, EightCarsFifteenMillisecondsApartCountEveryLapAtTwoAndAtOneSecond)
{
    expectEveryLapOfADenseRace(2000);
    expectEveryLapOfADenseRace(1000);
}

// Within one block the car that crossed first is handled first, whatever its
// seat, and the gap is the lap counter's difference, not the host's delay.
TEST(CrossingOrder, CarsOfOneBlockAreHandledInTheOrderTheyCrossed)
{
    RaceScript script;
    script.startRace(10'000);
    script.report(1, 15'040);
    script.report(2, 15'000);
    script.host.clockMs = 15'300;
    script.poll();
    EXPECT_EQ(script.racer(1).rankText, "1");
    EXPECT_EQ(script.state().repaintRow, 1);
    EXPECT_EQ(script.racer(0).lapsText, "0") << "waits for the row's repaint";

    script.host.clockMs = 15'320;
    script.repaintTicks();
    EXPECT_EQ(script.column(&RacerState::rankText, 2), (Texts{"2", "1"}));
    EXPECT_EQ(script.racer(0).gapText, " [ 0:00:040 ]");
    EXPECT_EQ(script.racer(0).lapsText, "1") << "before the next block";
}

// The stream cycles through the cars, so a car can come a block after one
// that crossed later: it is placed ahead all the same, also at the finish,
// where the car already finished will not cross again to be placed.
TEST(CrossingOrder, ACrossingOfAnEarlierBlockCanComeAfterALaterOne)
{
    RaceScript script(RaceScript::twoRacers("2"));
    script.startRace(10'000);
    script.cross(1, 15'010);
    script.cross(0, 15'000);
    EXPECT_EQ(script.column(&RacerState::rankText, 2), (Texts{"1", "2"}));
    EXPECT_EQ(script.column(&RacerState::gapText, 2), (Texts{kLeading, "..."}));

    script.cross(1, 20'010);
    script.cross(0, 20'000);
    EXPECT_EQ(script.column(&RacerState::flagCode, 2), (Texts{"2", "2"}));
    EXPECT_EQ(script.column(&RacerState::rankText, 2), (Texts{"1", "2"}));
    EXPECT_EQ(script.column(&RacerState::gapText, 2), (Texts{kLeading, " [ 0:00:010 ]"}));
    EXPECT_EQ(resultsText(script.engine.race()),
              "\"Jméno závodníka:\",\"Celkové pořadí:\",\"Ztráty na vedoucího závodníka/celkoví čas:\",\"Čas "
              "nejrychlejšího kola:\",\"Maximální rychlost:\"\r\n"
              "\"Adam\",\"1\",\"0:10:000 (vítězný celkoví čas)\",\"0:05:000 [m:s:ms]\",\"460 [km/h]\"\r\n"
              "\"Bára\",\"2\",\"0:00:010 (ztráty)\",\"0:05:000 [m:s:ms]\",\"460 [km/h]\"");
}

// Equal laps reached at the same millisecond: the car handled first stays ahead.
TEST(CrossingOrder, EqualTimesKeepTheCarHandledFirstAhead)
{
    RaceScript script;
    script.startRace(10'000);
    script.cross(1, 15'000);
    script.cross(0, 15'000);
    EXPECT_EQ(script.column(&RacerState::rankText, 2), (Texts{"2", "1"}));
    EXPECT_EQ(script.racer(0).gapText, " [ 0:00:000 ]");
}

// The winner's time runs from its start crossing to its finish on the lap
// counter's clock, across the clock's wrap, whatever the race clock's tick says.
TEST(CrossingOrder, WinnersTimeIsTakenOnTheLapCounterAcrossItsWrap)
{
    RaceScript script(RaceScript::twoRacers("2"));
    script.startRace(4'294'960'000u);
    script.cross(0, 4'294'965'000u);
    script.cross(0, 2'704);
    script.state().raceElapsedMs = 8'869; // where a late tick stopped the race clock
    EXPECT_EQ(script.racer(0).raceTimeMs, 10'000);
    EXPECT_EQ(script.engine.race().winnerRaceTimeMs(), 10'000);
    EXPECT_NE(resultsText(script.engine.race()).find("\"Adam\",\"1\",\"0:10:000 (vítězný celkoví čas)\""),
              std::string::npos);
}

// Starting a sound stops the one playing: of one block's crossings the lap
// chime sounds once, a word is never cut, and one crossing keeps its chime
// before its own event.
TEST(CrossingOrder, OneBlockSoundsOnceAndCutsNoWord)
{
    auto soundsOfBlock = [](std::vector<std::pair<int, int>> seatsAndTanks, const std::string &laps) {
        RaceScript script(eightRacers(laps));
        script.startRace(10'000);
        for (const auto &[seat, tankDigit] : seatsAndTanks)
            script.report(seat + 1, 15'000 + 10 * static_cast<std::uint32_t>(seat), tankDigit);
        script.poll();
        script.repaintTicks();
        for (const auto &[seat, tankDigit] : seatsAndTanks)
            EXPECT_EQ(script.racer(seat).lapsText, "1") << seat;
        return script.host.takeSounds();
    };
    const std::vector<std::pair<int, int>> eightFull{{0, 7}, {1, 7}, {2, 7}, {3, 7}, {4, 7}, {5, 7}, {6, 7}, {7, 7}};
    EXPECT_EQ(soundsOfBlock(eightFull, "5"), Texts{"soubory/nextRounds.wav"});
    EXPECT_EQ(soundsOfBlock({{0, 7}, {1, 1}, {2, 1}}, "5"),
              (Texts{"soubory/nextRounds.wav", "soubory/fuellow.wav"}));
    EXPECT_EQ(soundsOfBlock({{0, 1}, {1, 7}}, "5"), (Texts{"soubory/nextRounds.wav", "soubory/fuellow.wav"}));
    EXPECT_EQ(soundsOfBlock({{0, 7}, {1, 7}, {2, 7}}, "1"), Texts{"soubory/finish.wav"});
}
