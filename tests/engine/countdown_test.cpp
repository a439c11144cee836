#include "engine/racescript.h"

#include <gtest/gtest.h>

namespace {

// The countdown on a 1280 x 1024 screen. MainFrame answers the lights-window
// command by creating the window and setting the command back to 0.
struct Countdown : ::testing::Test {
    void tick() { script.engine.countdownTick(1280, 1024); }
    // Ticks until the tick that handles countdown tick \a ticks has run.
    void runThrough(int ticks)
    {
        for (int guard = 0; state.countdownTicks <= ticks; ++guard) {
            ASSERT_LT(guard, 100) << "the countdown never reaches tick " << ticks;
            tick();
        }
    }
    // Seat 0 (and seat 1 if \a both) crosses the line during the countdown.
    void falseStart(bool both)
    {
        script.synchronise(2);
        tick();
        script.state().lightsWindowCommand = 0;
        tick();
        script.report(1, 3000);
        script.report(2, both ? 3100 : 500);
        script.poll();
        script.host.timers[kCountdownTimer] = 100;
    }

    RaceScript script;
    FakeRaceHost &host = script.host;
    const RaceState &state = script.state();
};

std::array<Rgb, 5> litFromTheLeft(int count)
{
    std::array<Rgb, 5> brushes{};
    for (int j = 0; j < 5; ++j)
        brushes[j] = j < count ? kLightOn : kLightOff;
    return brushes;
}

const std::string kFalseStartAdam =
    "Byl zaznamenán ulitý start [Adam]. Přejete si informaci anulovat a pokračovat?";

} // namespace

// The lights window is requested once and the countdown waits until it
// exists. Then one light and one count a second; at the fifth the start
// delay is drawn (37 mod 16 + 5 = 10 ticks), after which the signal is given.
TEST_F(Countdown, WaitsForTheLightsWindowThenLightsOneASecondUntilTheStartSignal)
{
    host.calendar = 1'700'000'123;
    host.randomValue = 37;
    host.timers[kCountdownTimer] = 100;
    tick();
    EXPECT_EQ(state.lightsWindowCommand, 1);
    EXPECT_EQ(state.lightsWindowRect, (Rect{21, 233, 1256, 480}));
    tick(); // the window is not there yet
    EXPECT_EQ(state.countdownTicks, 0);
    EXPECT_FALSE(state.lightsChanged);

    script.state().lightsWindowCommand = 0;
    tick();
    EXPECT_TRUE(state.lightsGeometryReady);
    EXPECT_EQ(state.lightsPanelRect, (Rect{28, 240, 1249, 473}));
    EXPECT_EQ(state.lightRect[0], (Rect{42, 254, 247, 459}));
    EXPECT_EQ(state.lightRect[4], (Rect{1030, 254, 1235, 459}));
    EXPECT_EQ(state.lightBrush, litFromTheLeft(0));
    EXPECT_TRUE(state.lightsChanged);
    EXPECT_EQ(state.countdownTicks, 1);
    EXPECT_EQ(state.lightsWindowCommand, 0) << "requested once only";
    EXPECT_TRUE(host.sounds.empty());

    for (int second = 1; second <= 5; ++second) {
        runThrough(second * 10 - 1);
        EXPECT_EQ(state.lightBrush, litFromTheLeft(second - 1)) << second;
        runThrough(second * 10);
        EXPECT_EQ(state.lightBrush, litFromTheLeft(second)) << second;
        EXPECT_EQ(host.takeSounds(), Texts{"soubory/count" + std::to_string(second) + ".wav"});
    }
    EXPECT_EQ(host.seeds, std::vector<unsigned>{1'700'000'123u});
    EXPECT_EQ(state.randomStartDelay, 10);
    runThrough(59);
    EXPECT_EQ(state.slidePhase, 0);
    EXPECT_TRUE(host.sounds.empty());
    tick(); // tick 60
    EXPECT_EQ(state.lightsWindowCommand, 2);
    EXPECT_EQ(state.slidePhase, 2);
    EXPECT_EQ(host.takeSounds(), Texts{"soubory/start.wav"});
    EXPECT_FALSE(host.timerRunning(kCountdownTimer));
    EXPECT_EQ(state.lightBrush, litFromTheLeft(0));
    EXPECT_EQ(state.countdownTicks, 1);

    for (const auto &[random, delay] : {std::pair{0, 5}, {15, 20}, {16, 5}, {32767, 20}}) {
        RaceScript other;
        other.host.randomValue = random;
        other.state().lightsGeometryReady = true; // the draw needs no lights window
        for (int tick = 0; tick <= 50; ++tick)
            other.engine.countdownTick(1280, 1024);
        EXPECT_EQ(other.state().randomStartDelay, delay) << random;
    }
}

TEST_F(Countdown, FalseStartAnsweredYesIsClearedAndTheCarStartsAgain)
{
    falseStart(false);
    ASSERT_TRUE(script.channel(0).started);
    bool countdownStoppedWhileAsking = false;
    host.whileNextMessageOpen([&] { countdownStoppedWhileAsking = !host.timerRunning(kCountdownTimer); });
    host.expectMessage(kFalseStartAdam, MessageAnswer::Yes);
    tick();

    EXPECT_TRUE(countdownStoppedWhileAsking);
    EXPECT_FALSE(script.channel(0).started);
    EXPECT_EQ(host.timers, (std::map<int, int>{{kCountdownTimer, 100}}));
    EXPECT_EQ(state.countdownTicks, 2) << "the tick goes on";
    EXPECT_EQ(host.messages.at(0),
              (Message{"Informace", kFalseStartAdam, MessageButtons::YesNo, MessageIcon::Information}));

    script.report(1, 8000);
    script.poll();
    EXPECT_TRUE(script.channel(0).started) << "a start crossing again";
    EXPECT_EQ(script.racer(0).lapsText, "0");
}

TEST_F(Countdown, FalseStartAnsweredNoClosesTheMainWindowWithoutAnotherQuestion)
{
    falseStart(true);
    host.expectMessage(kFalseStartAdam, MessageAnswer::No);
    tick();
    EXPECT_TRUE(host.mainWindowClosed);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(state.countdownTicks, 1) << "nothing more is done";
}

// Polling goes on while the question is open: the car's further crossing is
// a lap, since it counts as started until the answer. Yes clears only the
// start, so the lap stays and the next crossing is a start crossing again.
TEST_F(Countdown, CrossingWhileTheFalseStartQuestionIsOpenCountsALapThatStaysAfterYes)
{
    falseStart(false);
    std::string lapsWhileAsking;
    host.whileNextMessageOpen([&] {
        script.report(1, 7000);
        script.poll();
        lapsWhileAsking = script.racer(0).lapsText;
    });
    host.expectMessage(kFalseStartAdam, MessageAnswer::Yes);
    tick();

    EXPECT_EQ(lapsWhileAsking, "1");
    EXPECT_EQ(script.racer(0).lapsText, "1");
    EXPECT_FALSE(script.channel(0).started);

    script.report(1, 9000);
    script.poll();
    EXPECT_TRUE(script.channel(0).started);
    EXPECT_EQ(script.racer(0).lapsText, "1") << "a start crossing counts no lap";
}

// The start sound stops the countdown, but the race starts only when the
// lights window has closed. A car crossing in between is no false start and
// does not start the race clock; the next car's start crossing does.
TEST_F(Countdown, StartCrossingBeforeTheLightsWindowClosesIsNoFalseStartAndStartsNoClock)
{
    host.randomValue = 0; // a delay of 5 ticks
    script.synchronise(2);
    tick();
    script.state().lightsWindowCommand = 0;
    for (int guard = 0; state.lightsWindowCommand != 2; ++guard) {
        ASSERT_LT(guard, 100) << "no start signal";
        tick();
    }
    ASSERT_EQ(host.takeSounds(), (Texts{"soubory/count1.wav", "soubory/count2.wav", "soubory/count3.wav",
                                        "soubory/count4.wav", "soubory/count5.wav", "soubory/start.wav"}));

    script.report(1, 3000);
    script.poll();
    EXPECT_TRUE(script.channel(0).started);
    EXPECT_FALSE(state.raceClockRunning);
    EXPECT_FALSE(host.timerRunning(kCountdownTimer)) << "no countdown tick is left to report a false start";
    EXPECT_TRUE(host.messages.empty());

    script.state().startSignalGiven = true; // the lights window has closed
    script.report(2, 3500);
    script.poll();
    EXPECT_TRUE(state.raceClockRunning);
    script.report(1, 8000);
    script.poll();
    EXPECT_EQ(script.racer(0).lapsText, "1");
    EXPECT_EQ(script.racer(0).lastLapTimeText, "0:05:000");
    EXPECT_TRUE(host.messages.empty());
}
