// The standings the report computes from a journal: positions in the order
// the lap counts were reached, totals and gaps on the hardware clock, and
// every way a racer's race can end.
#include "record/racestandings.h"
#include "record/reportlog.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> seatsInOrder(const RaceStandings &standings)
{
    std::vector<int> seats;
    for (const RacerStanding &racer : standings.racers)
        seats.push_back(racer.seat);
    return seats;
}

const RacerStanding &seat(const RaceStandings &standings, int seat)
{
    for (const RacerStanding &racer : standings.racers)
        if (racer.seat == seat)
            return racer;
    throw std::out_of_range("no such seat in the standings");
}

} // namespace

TEST(ReportStandings, TotalsAndGapsComeFromTheHardwareClock)
{
    // Adam starts 40 ms after Bára but wins; Bára finishes 500 ms behind him
    // on the same lap, Cyril is a lap down when the race ends.
    ReportLog race("3");
    race.racer(0, "Adam", 10'040).racer(1, "Bára", 10'000).racer(2, "Cyril", 10'020);
    race.lap(0, 15'040, 1).lap(1, 15'100, 2).lap(2, 16'020, 3);
    race.lap(0, 19'940, 1).lap(1, 20'300, 2).lap(2, 22'020, 3);
    race.lap(0, 25'040, 1).finish(0).lap(1, 25'540, 2).finish(1);
    const RaceStandings standings = computeStandings(race.log);

    EXPECT_EQ(seatsInOrder(standings), (std::vector<int>{0, 1, 2}));
    const RacerStanding &adam = seat(standings, 0);
    EXPECT_EQ(adam.position, 1);
    EXPECT_EQ(adam.totalMs, 15'000);
    EXPECT_FALSE(adam.gapMs);
    EXPECT_EQ(adam.outcome, RacerOutcome::Finished);
    EXPECT_EQ(adam.laps[*adam.bestLapIndex].lapMs, 4'900);
    EXPECT_EQ(adam.topSpeedKmh, 2'304'000 / 4'900);

    const RacerStanding &bara = seat(standings, 1);
    EXPECT_EQ(bara.totalMs, 15'540);
    EXPECT_EQ(bara.lapsBehind, 0);
    EXPECT_EQ(bara.gapMs, 500);

    const RacerStanding &cyril = seat(standings, 2);
    EXPECT_EQ(cyril.position, 3);
    EXPECT_EQ(cyril.outcome, RacerOutcome::Running);
    EXPECT_EQ(cyril.lapsBehind, 1);
    EXPECT_EQ(cyril.gapMs, 22'020 - 19'940) << "time since the winner completed lap 2";

    ASSERT_TRUE(standings.fastestLap);
    EXPECT_EQ(standings.fastestLap->seat, 0);
    EXPECT_EQ(standings.fastestLap->lapIndex, 1u);
}

TEST(ReportStandings, TimesStayRightAcrossTheWrapOfTheHardwareClock)
{
    ReportLog race("2");
    race.racer(0, "Adam", 0xFFFF'F000u).racer(1, "Bára", 0xFFFF'F100u);
    race.lap(0, 0xFFFF'F000u + 5'000, 1).lap(1, 0xFFFF'F100u + 5'200, 2);
    race.lap(0, 0xFFFF'F000u + 10'000, 1).finish(0).lap(1, 0xFFFF'F100u + 10'150, 2).finish(1);
    const RaceStandings standings = computeStandings(race.log);

    EXPECT_EQ(seat(standings, 0).totalMs, 10'000);
    EXPECT_EQ(seat(standings, 0).laps[0].lapMs, 5'000);
    EXPECT_EQ(seat(standings, 1).totalMs, 10'150);
    EXPECT_EQ(seat(standings, 1).gapMs, 0x100 + 150);
}

TEST(ReportStandings, DisqualifiedRetiredAndNeverStartedRacersHaveNoPlaceAmongTheFinishers)
{
    ReportLog race("2");
    race.racer(0, "Adam", 1'000).racer(1, "Bára", 1'000).racer(2, "Cyril", 1'000);
    race.log.racers[3] = {3, "Dana"}; // named, but her car never crossed the line
    race.lap(2, 5'000, 1).lap(1, 5'500, 2).lap(0, 6'000, 3);
    race.event(EventKind::Disqualified, 2, 2);
    race.lap(2, 9'000, 0).lap(1, 9'500, 1).finish(1);
    race.log.end = RaceEnd::Closed;
    const RaceStandings standings = computeStandings(race.log);

    EXPECT_EQ(seatsInOrder(standings), (std::vector<int>{1, 0, 2, 3}));
    EXPECT_EQ(seat(standings, 1).outcome, RacerOutcome::Finished);
    EXPECT_EQ(seat(standings, 0).position, 2);
    EXPECT_EQ(seat(standings, 0).outcome, RacerOutcome::Running);
    const RacerStanding &cyril = seat(standings, 2);
    EXPECT_EQ(cyril.position, 0);
    EXPECT_EQ(cyril.outcome, RacerOutcome::Disqualified);
    EXPECT_EQ(cyril.laps.size(), 2u) << "the disqualifying lap still counts";
    EXPECT_EQ(cyril.totalMs, 8'000);
    const RacerStanding &dana = seat(standings, 3);
    EXPECT_EQ(dana.outcome, RacerOutcome::NotStarted);
    EXPECT_TRUE(dana.laps.empty());
    EXPECT_FALSE(dana.totalMs);
}

TEST(ReportStandings, AReadmittedRacerRejoinsBehindThoseWhoReachedItsLapCountMeanwhile)
{
    ReportLog race("9");
    race.racer(0, "Adam", 1'000).racer(1, "Bára", 1'000);
    race.lap(0, 5'000, 1).lap(1, 5'100, 2);
    race.lap(0, 9'000, 1);
    race.event(EventKind::Disqualified, 0, 2);
    race.lap(1, 9'600, 1);
    race.event(EventKind::Readmitted, 0, 2);
    const RaceStandings standings = computeStandings(race.log);

    EXPECT_EQ(seatsInOrder(standings), (std::vector<int>{1, 0}));
    EXPECT_EQ(seat(standings, 0).outcome, RacerOutcome::Running);
    EXPECT_EQ(seat(standings, 0).gapMs, 9'000 - 9'600) << "it was there first on the hardware clock";
}

TEST(ReportStandings, ADamagedJournalIsReadForWhatItHolds)
{
    ReportLog race("5");
    race.racer(0, "Adam", 1'000);
    race.lap(0, 5'000, 1).lap(0, 9'000, 1);
    race.log.laps.push_back(race.log.laps.front()); // a lap count that went back
    race.log.laps.push_back({12, 3, 0, 0, 0, 0, 0, {}, {}, 0}); // no such seat
    race.log.events.erase(race.log.events.begin()); // the start crossing lost
    const RaceStandings standings = computeStandings(race.log);

    ASSERT_EQ(standings.racers.size(), 1u);
    EXPECT_EQ(standings.racers[0].laps.size(), 2u);
    EXPECT_EQ(standings.racers[0].totalMs, 8'000) << "the lap times add up to the span";
}

// The journal says when the readmitting crossing was: the racer is placed as
// of it, ahead of a racer reaching the same count later on the track and
// behind one that reached it before.
TEST(ReportStandings, AReadmittedRacerIsPlacedAsOfItsReadmittingCrossing)
{
    auto orderWithReadmissionAt = [](std::uint32_t readmittedAt) {
        ReportLog race("9");
        race.racer(0, "Adam", 1'000).racer(1, "Bára", 1'000);
        race.lap(0, 5'000, 1).lap(1, 5'100, 2);
        race.lap(0, 9'000, 1);
        race.event(EventKind::Disqualified, 0, 2);
        race.event(EventKind::Readmitted, 0, 2).hardwareMs = readmittedAt;
        race.lap(1, 9'600, 1);
        return seatsInOrder(computeStandings(race.log));
    };
    EXPECT_EQ(orderWithReadmissionAt(9'500), (std::vector<int>{0, 1}));
    EXPECT_EQ(orderWithReadmissionAt(9'700), (std::vector<int>{1, 0}));
}
