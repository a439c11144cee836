#include "engine/racescript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Sounds = std::vector<std::string>;

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

// The countdown on a 1280 x 1024 screen, with timer 4's handling of the
// lights-window command as MainFrame does it.
struct Countdown {
    RaceScript script;

    void tick() { script.engine.countdownTick(kScreenWidth, kScreenHeight); }
    void lightsWindowTick()
    {
        if (script.state().lightsWindowCommand == 2)
            script.state().startSignalGiven = true;
        script.state().lightsWindowCommand = 0;
    }
    // Requests the lights window, creates it, and lights the first frame.
    void open()
    {
        tick();
        lightsWindowTick();
        tick();
    }
    // Ticks until the tick that handles countdown tick \a ticks has run.
    void runThrough(int ticks)
    {
        for (int guard = 0; script.state().countdownTicks <= ticks; ++guard) {
            ASSERT_LT(guard, 100) << "the countdown never reaches tick " << ticks;
            tick();
        }
    }
};

// The brushes with the first \a count lights lit.
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

TEST(Countdown, FirstTicksRequestTheLightsWindowAndWaitUntilItExists)
{
    Countdown countdown;
    const RaceState &state = countdown.script.state();
    countdown.tick();
    EXPECT_EQ(state.lightsWindowCommand, 1);
    EXPECT_TRUE(state.lightsWindowRequested);
    EXPECT_EQ(state.lightsWindowRect, (Rect{21, 233, 1256, 480}));
    EXPECT_FALSE(state.lightsGeometryReady);

    countdown.tick(); // the window is not there yet
    EXPECT_EQ(state.countdownTicks, 0);
    EXPECT_FALSE(state.lightsChanged);

    countdown.lightsWindowTick();
    countdown.tick();
    EXPECT_TRUE(state.lightsGeometryReady);
    EXPECT_EQ(state.lightsPanelRect, (Rect{28, 240, 1249, 473}));
    EXPECT_EQ(state.lightRect[0], (Rect{42, 254, 247, 459}));
    EXPECT_EQ(state.lightRect[4], (Rect{1030, 254, 1235, 459}));
    EXPECT_EQ(state.lightBrush, litFromTheLeft(0));
    EXPECT_TRUE(state.lightsChanged);
    EXPECT_EQ(state.countdownTicks, 1);
    EXPECT_EQ(state.lightsWindowCommand, 0) << "requested once only";
    EXPECT_TRUE(countdown.script.host.sounds.empty());
}

TEST(Countdown, OneLightAndOneCountPerSecond)
{
    Countdown countdown;
    countdown.open();
    const std::array<Rgb, 5> &brushes = countdown.script.state().lightBrush;
    Sounds expected;
    for (int second = 1; second <= 5; ++second) {
        countdown.runThrough(second * 10 - 1);
        EXPECT_EQ(brushes, litFromTheLeft(second - 1)) << second;
        countdown.runThrough(second * 10);
        EXPECT_EQ(brushes, litFromTheLeft(second)) << second;
        expected.push_back("soubory/count" + std::to_string(second) + ".wav");
        EXPECT_EQ(countdown.script.host.sounds, expected) << second;
    }
}

TEST(Countdown, StartSignalFollowsTheRandomDelayDrawnAtTheFifthLight)
{
    Countdown countdown;
    FakeRaceHost &host = countdown.script.host;
    const RaceState &state = countdown.script.state();
    host.calendar = 1'700'000'123;
    host.randomValue = 37; // 37 mod 16 + 5 = 10 ticks
    host.timers[kCountdownTimer] = 100;
    countdown.open();
    countdown.runThrough(50);
    EXPECT_EQ(host.seeds, std::vector<unsigned>{1'700'000'123u});
    EXPECT_EQ(state.randomStartDelay, 10);

    countdown.runThrough(59);
    EXPECT_EQ(state.slidePhase, 0);
    host.takeSounds();
    countdown.tick(); // tick 60
    EXPECT_EQ(state.lightsWindowCommand, 2);
    EXPECT_EQ(state.slidePhase, 2);
    EXPECT_EQ(host.takeSounds(), Sounds{"soubory/start.wav"});
    EXPECT_FALSE(host.timerRunning(kCountdownTimer));
    EXPECT_EQ(state.lightBrush, litFromTheLeft(0));
    EXPECT_EQ(state.countdownTicks, 1);

    for (const auto &[random, delay] : {std::pair{0, 5}, {15, 20}, {16, 5}, {32767, 20}}) {
        Countdown other;
        other.script.host.randomValue = random;
        other.open();
        other.runThrough(50);
        EXPECT_EQ(other.script.state().randomStartDelay, delay) << random;
    }
}

TEST(Countdown, FalseStartAnsweredYesIsClearedAndTheCarStartsAgain)
{
    Countdown countdown;
    RaceScript &script = countdown.script;
    script.report(1, 500);
    script.poll();
    countdown.open();
    script.report(1, 3000); // the car crosses during the countdown
    script.poll();
    ASSERT_TRUE(script.channel(0).started);

    script.host.timers[kCountdownTimer] = 100;
    bool countdownStoppedWhileAsking = false;
    script.host.whileNextMessageOpen(
        [&] { countdownStoppedWhileAsking = !script.host.timerRunning(kCountdownTimer); });
    script.host.expectMessage(kFalseStartAdam, MessageAnswer::Yes);
    countdown.tick();

    EXPECT_TRUE(countdownStoppedWhileAsking);
    EXPECT_FALSE(script.channel(0).started);
    ASSERT_TRUE(script.host.timerRunning(kCountdownTimer));
    EXPECT_EQ(script.host.timers.at(kCountdownTimer), 100);
    EXPECT_EQ(script.state().countdownTicks, 2) << "the tick goes on";
    const Message &question = script.host.messages.at(0);
    EXPECT_EQ(question.caption, "Informace");
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.icon, MessageIcon::Information);

    script.report(1, 8000);
    script.poll();
    EXPECT_TRUE(script.channel(0).started) << "a start crossing again";
    EXPECT_EQ(script.racer(0).lapsText, "0");
}

TEST(Countdown, FalseStartAnsweredNoClosesTheMainWindowWithoutAnotherQuestion)
{
    Countdown countdown;
    RaceScript &script = countdown.script;
    script.report(1, 500);
    script.report(2, 500);
    script.poll();
    countdown.open();
    script.report(1, 3000);
    script.report(2, 3100);
    script.poll();

    script.host.expectMessage(kFalseStartAdam, MessageAnswer::No);
    countdown.tick();
    EXPECT_TRUE(script.host.mainWindowClosed);
    EXPECT_EQ(script.host.messages.size(), 1u);
    EXPECT_EQ(script.state().countdownTicks, 1) << "nothing more is done";
}
