#include "support/eventfulrace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Keeps every call as a line of text, and the laps as they came.
class SpyRecorder : public RaceRecorder {
public:
    void raceSettings(const RecordedSettings &s, std::int32_t hostMs) override
    {
        std::string names;
        for (const std::string &name : s.racerNames)
            names += name + ",";
        add("settings " + s.trackLength + " " + s.scale + " " + s.lapsPerRide + " " + names, hostMs);
    }
    void startSignal(std::int32_t hostMs) override { add("startSignal", hostMs); }
    void startCrossing(const SeatMoment &at, std::uint32_t hardwareMs) override
    {
        add("startCrossing " + std::to_string(hardwareMs), at);
    }
    void lapCounted(const LapEntry &lap) override
    {
        laps.push_back(lap);
        add("lap", {lap.seat, lap.lap, lap.hostMs});
    }
    void leftTrack(const SeatMoment &at, std::int32_t count) override { add("offTrack " + std::to_string(count), at); }
    void falseStart(const SeatMoment &at) override { add("falseStart", at); }
    void falseStartAnswered(const SeatMoment &at, bool goOn) override
    {
        add(goOn ? "falseStartAnswer yes" : "falseStartAnswer no", at);
    }
    void disqualifyRequested(const SeatMoment &at) override { add("disqualifyRequested", at); }
    void disqualified(const SeatMoment &at) override { add("disqualified", at); }
    void readmitRequested(const SeatMoment &at) override { add("readmitRequested", at); }
    void readmitted(const SeatMoment &at, std::uint32_t) override { add("readmitted", at); }
    void fuelLow(const SeatMoment &at) override { add("fuelLow", at); }
    void fuelEmpty(const SeatMoment &at) override { add("fuelEmpty", at); }
    void finished(const SeatMoment &at) override { add("finished", at); }

    std::vector<std::string> calls;
    std::vector<LapEntry> laps;

private:
    void add(const std::string &what, std::int32_t hostMs) { calls.push_back(what + " @" + std::to_string(hostMs)); }
    void add(const std::string &what, const SeatMoment &at)
    {
        calls.push_back(what + " seat " + std::to_string(at.seat) + " lap " + std::to_string(at.lap) + " @"
                        + std::to_string(at.hostMs));
    }
};

} // namespace

// Every counted lap reaches the recorder with the cells the table shows once
// its crossing is done, and every event in the order it happened, each with
// the seat's lap count and the host clock.
TEST(RaceRecorder, HearsEveryLapAsTheTableShowsItAndEveryEventInOrder)
{
    RaceScript script(eventfulrace::settings());
    SpyRecorder spy;
    script.engine.setRecorder(&spy);
    const std::vector<LapEntry> table = eventfulrace::play(script);

    ASSERT_EQ(table.size(), 9u);
    EXPECT_EQ(spy.laps, table);
    EXPECT_EQ(table[2].gapText, "- diskvalifikace -") << "the lap that disqualified seat 2";
    EXPECT_EQ(spy.calls, (std::vector<std::string>{
                             "startCrossing 700 seat 2 lap 0 @2200",
                             "falseStart seat 2 lap 0 @2200",
                             "falseStartAnswer yes seat 2 lap 0 @2200",
                             "settings 20 32 3 Adam,Bára,Cyril,,,,,, @6600",
                             "startSignal @6600",
                             "startCrossing 10000 seat 0 lap 0 @10000",
                             "startCrossing 10000 seat 1 lap 0 @10000",
                             "startCrossing 10000 seat 2 lap 0 @10000",
                             "lap seat 0 lap 1 @15000",
                             "fuelLow seat 1 lap 1 @15400",
                             "lap seat 1 lap 1 @15400",
                             "disqualifyRequested seat 2 lap 0 @15400",
                             "disqualified seat 2 lap 1 @16000",
                             "lap seat 2 lap 1 @16000",
                             "offTrack 1 seat 0 lap 2 @20000",
                             "lap seat 0 lap 2 @20000",
                             "readmitRequested seat 2 lap 1 @20000",
                             "readmitted seat 2 lap 1 @21000",
                             "fuelEmpty seat 1 lap 2 @21500",
                             "lap seat 1 lap 2 @21500",
                             "lap seat 0 lap 3 @25000",
                             "finished seat 0 lap 3 @25000",
                             "lap seat 2 lap 2 @26500",
                             "lap seat 1 lap 3 @27000",
                             "finished seat 1 lap 3 @27000",
                             "lap seat 2 lap 3 @31000",
                             "finished seat 2 lap 3 @31000",
                         }));
    EXPECT_TRUE(script.engine.raceIsOver());
}

// Recording changes nothing the race shows: the same race without a
// recorder ends with the same table, sounds and messages.
TEST(RaceRecorder, LeavesTheRaceAsItIsWithoutOne)
{
    RaceScript recorded(eventfulrace::settings());
    SpyRecorder spy;
    recorded.engine.setRecorder(&spy);
    RaceScript plain(eventfulrace::settings());
    EXPECT_EQ(eventfulrace::play(recorded), eventfulrace::play(plain));
    EXPECT_EQ(recorded.host.sounds, plain.host.sounds);
    EXPECT_EQ(recorded.host.messages.size(), plain.host.messages.size());
    for (auto cell : {&RacerState::rankText, &RacerState::gapText, &RacerState::flagCode, &RacerState::bestLapTimeText})
        EXPECT_EQ(recorded.column(cell), plain.column(cell));
}

// The settings are told at the start command, so a race ended during its
// countdown keeps them; the start signal tells them again only when the
// menu, still open during the countdown, changed them.
TEST(RaceRecorder, HearsTheSettingsAtTheStartCommandAndAgainOnlyWhenTheyChanged)
{
    const auto settingsCalls = [](const SpyRecorder &spy) {
        std::vector<std::string> settings;
        for (const std::string &call : spy.calls)
            if (call.starts_with("settings "))
                settings.push_back(call);
        return settings;
    };
    for (const bool changed : {false, true}) {
        SCOPED_TRACE(changed ? "changed during the countdown" : "unchanged");
        RaceScript script(eventfulrace::settings());
        SpyRecorder spy;
        script.engine.setRecorder(&spy);
        script.host.clockMs = 900;
        script.engine.recordSettings();
        ASSERT_EQ(settingsCalls(spy), (std::vector<std::string>{"settings 20 32 3 Adam,Bára,Cyril,,,,,, @900"}));
        if (changed)
            script.settings.racerName[3] = "Dana";
        eventfulrace::countDown(script);
        std::vector<std::string> expected{"settings 20 32 3 Adam,Bára,Cyril,,,,,, @900"};
        if (changed)
            expected.push_back("settings 20 32 3 Adam,Bára,Cyril,Dana,,,,, @6600");
        EXPECT_EQ(settingsCalls(spy), expected);
        EXPECT_EQ(spy.calls.back(), "startSignal @6600");
    }
}
