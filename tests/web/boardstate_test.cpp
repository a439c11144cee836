// The board's state document against the race table's own cells, through a
// scripted race: order by position, the cell texts, the fastest lap and the
// race phase as the engine moves through a race.
#include "engine/duration.h"
#include "engine/racescript.h"
#include "record/livebests.h"
#include "web/boardstate.h"

#include <gtest/gtest.h>

namespace {

RaceSettings threeRacers()
{
    RaceSettings settings = RaceScript::twoRacers("3");
    settings.racerName[2] = "Cyril";
    return settings;
}

// Seat 1 leads, seat 0 second, seat 2 third after two laps each.
void playTwoLaps(RaceScript &script)
{
    script.startRace(10'000);
    script.cross(1, 14'000);
    script.cross(0, 15'000);
    script.cross(2, 16'000);
    script.cross(1, 17'500);
    script.cross(0, 19'800);
    script.cross(2, 21'000);
    script.paint();
    script.state().raceElapsedMs = 11'500.9;
}

// The board's entry of seat \a seat (1 to 8).
nlohmann::json entryOfSeat(const nlohmann::json &state, int seat)
{
    for (const nlohmann::json &entry : state["racers"])
        if (entry["seat"] == seat)
            return entry;
    return nullptr;
}

} // namespace

TEST(BoardState, PersonalBestsTrackRecordAndTheMarksOfLapsThatBeatThem)
{
    RaceSettings settings = threeRacers();
    settings.lapsPerRide = "5";
    RaceScript script(settings);
    LiveBests bests;
    script.engine.setRecorder(&bests);
    const nlohmann::json none = boardState(script.engine.race(), script.settings, &bests);
    EXPECT_TRUE(none["trackRecord"].is_null());
    EXPECT_TRUE(entryOfSeat(none, 1)["personalBest"].is_null());

    RecordsBefore records;
    records.driven = {true, true, true};
    records.personal[0] = LapRecord{"adam", "Adam", 4000, "2026-03-01_19-00-00", "2026-03-01 19:00:00", 3, 0};
    records.personal[1] = LapRecord{"bára", "Bára", 3600, "2026-03-01_19-00-00", "2026-03-01 19:00:00", 2, 1};
    records.track = records.personal[1];
    bests.setRecords(records);

    script.startRace(10'000);
    script.cross(1, 13'500); // 3500: beats the record
    script.cross(0, 14'000); // 4000: a tie is no new best
    script.cross(2, 15'000); // Cyril is new to the track
    nlohmann::json state = boardState(script.engine.race(), script.settings, &bests);
    EXPECT_EQ(state["trackRecord"], (nlohmann::json{{"ms", 3600}, {"time", "0:03:600"}, {"name", "Bára"}}));
    EXPECT_EQ(entryOfSeat(state, 1)["personalBest"],
              (nlohmann::json{{"ms", 4000}, {"time", "0:04:000"}, {"name", "Adam"}}));
    EXPECT_TRUE(entryOfSeat(state, 3)["personalBest"].is_null());
    EXPECT_EQ(entryOfSeat(state, 2)["lapMark"], "record");
    EXPECT_TRUE(entryOfSeat(state, 1)["lapMark"].is_null());
    EXPECT_TRUE(entryOfSeat(state, 3)["lapMark"].is_null());

    script.cross(0, 17'900); // 3900: a new personal best
    script.cross(1, 17'200); // 3700: slower than her record of this race
    state = boardState(script.engine.race(), script.settings, &bests);
    EXPECT_EQ(entryOfSeat(state, 1)["lapMark"], "personal");
    EXPECT_TRUE(entryOfSeat(state, 2)["lapMark"].is_null());

    // Faster still, but the car left the track in this lap.
    script.cross(0, 21'400, 7, 3);
    EXPECT_TRUE(entryOfSeat(boardState(script.engine.race(), script.settings, &bests), 1)["lapMark"].is_null());
    script.cross(0, 25'250); // 3850: beats 3900, the last lap that stood
    EXPECT_EQ(entryOfSeat(boardState(script.engine.race(), script.settings, &bests), 1)["lapMark"], "personal");
    script.engine.setRecorder(nullptr);
}

TEST(BoardState, RacersInOrderOfPositionWithTheTableCells)
{
    RaceScript script(threeRacers());
    playTwoLaps(script);
    const nlohmann::json state = boardState(script.engine.race(), script.settings);

    EXPECT_EQ(state["lapsPerRide"], "3");
    EXPECT_EQ(state["clock"], formatDuration(11'500));
    EXPECT_EQ(state["phase"], "race");
    ASSERT_EQ(state["racers"].size(), 3u);
    const std::vector<int> expectedSeats{1, 0, 2};
    for (std::size_t row = 0; row < 3; ++row) {
        const nlohmann::json &entry = state["racers"][row];
        const RacerState &racer = script.racer(expectedSeats[row]);
        SCOPED_TRACE(racer.nameText);
        EXPECT_EQ(entry["seat"], expectedSeats[row] + 1);
        EXPECT_EQ(entry["position"], std::to_string(row + 1));
        EXPECT_EQ(entry["position"], racer.rankText);
        EXPECT_EQ(entry["name"], racer.nameText);
        EXPECT_EQ(entry["laps"], racer.lapsText);
        EXPECT_EQ(entry["lastLap"], racer.lastLapTimeText);
        EXPECT_EQ(entry["bestLap"], racer.bestLapTimeText);
        EXPECT_EQ(entry["lastSpeed"], racer.lastLapSpeedText);
        EXPECT_EQ(entry["topSpeed"], racer.bestSpeedText);
        EXPECT_EQ(entry["gap"], racer.gapText);
        EXPECT_EQ(entry["tank"], racer.tankText);
        EXPECT_EQ(entry["flag"], racer.flagCode);
    }
    EXPECT_EQ(state["racers"][0]["laps"], "2");
    // Bára's second lap, 3500 ms, is the quickest of all.
    EXPECT_EQ(state["fastestLap"]["seat"], 2);
    EXPECT_EQ(state["fastestLap"]["name"], "Bára");
    EXPECT_EQ(state["fastestLap"]["time"], "0:03:500");
    EXPECT_EQ(state["fastestLap"]["speed"], script.racer(1).bestSpeedText);
}

TEST(BoardState, PhaseFollowsTheRaceFromStartCommandToTheLastFinish)
{
    RaceScript script(threeRacers());
    const Race &race = script.engine.race();
    EXPECT_EQ(boardState(race, script.settings)["phase"], "before");
    EXPECT_TRUE(boardState(race, script.settings)["fastestLap"].is_null());
    script.state().slidePhase = 1;
    EXPECT_EQ(racePhase(race), RacePhase::Countdown);

    playTwoLaps(script);
    // Cyril is disqualified, the others finish their third lap.
    script.racer(2).disqualified = true;
    script.cross(1, 21'500);
    EXPECT_EQ(racePhase(race), RacePhase::Racing);
    script.cross(0, 24'000);
    EXPECT_EQ(boardState(race, script.settings)["phase"], "finished");
}

TEST(BoardState, NamesBeforeTheRaceScreenComeFromTheSettingsAndEmptySeatsAreLeftOut)
{
    RaceScript script(threeRacers());
    // Names edited after the window was made: the table will show these.
    script.settings.racerName[0] = "Alena";
    script.settings.racerName[2] = "";
    nlohmann::json state = boardState(script.engine.race(), script.settings);
    ASSERT_EQ(state["racers"].size(), 2u);
    EXPECT_EQ(state["racers"][0]["name"], "Alena");
    EXPECT_EQ(state["racers"][1]["name"], "Bára");
    EXPECT_EQ(state["racers"][0]["position"], "( )");

    // On the race screen the engine's cells rule; a racer without a place
    // ("!", "GO") comes after every placed one, and a measuring fault in a
    // speed shows as the table shows it.
    script.startRace();
    script.cross(0, 14'000);
    script.racer(0).rankText = "!";
    script.racer(1).rankText = "1";
    script.racer(1).lastLapSpeedText = "2301";
    state = boardState(script.engine.race(), script.settings);
    ASSERT_EQ(state["racers"].size(), 2u);
    EXPECT_EQ(state["racers"][0]["name"], "Bára");
    EXPECT_EQ(state["racers"][0]["lastSpeed"], "- ?rychlost -");
    EXPECT_EQ(state["racers"][1]["position"], "!");
}

TEST(BoardState, TextOfDamagedNameStillGivesADocument)
{
    RaceScript script(threeRacers());
    script.settings.racerName[0] = "Ad\xff" "am";
    const std::string text = boardStateText(script.engine.race(), script.settings);
    const nlohmann::json parsed = nlohmann::json::parse(text);
    EXPECT_EQ(parsed["racers"][0]["name"], "Ad\xEF\xBF\xBD" "am");
}

// Once the car in first place has finished, the clock is its race time on the
// lap counter's clock, not the title's race clock stopped by a late tick; a
// car that finished earlier on the track but came a block later takes over.
TEST(BoardState, ClockIsTheWinnersTimeOnceTheWinnerHasFinished)
{
    RaceScript script(threeRacers());
    playTwoLaps(script);
    EXPECT_EQ(boardState(script.engine.race(), script.settings)["clock"], formatDuration(11'500));
    script.cross(1, 23'000);
    EXPECT_EQ(boardState(script.engine.race(), script.settings)["clock"], "0:13:000");
    script.cross(0, 22'900);
    script.paint();
    const nlohmann::json state = boardState(script.engine.race(), script.settings);
    EXPECT_EQ(state["racers"][0]["name"], "Adam");
    EXPECT_EQ(state["clock"], "0:12:900");
}
