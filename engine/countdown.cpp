// The start countdown on timer 2: false starts, count sounds, the five lights,
// the random delay and the start signal.
#include "engine/raceengine.h"
#include "engine/startsequence.h"

#include <string>

namespace {

Message falseStartQuestion(const std::string &racerName)
{
    return {"Informace",
            "Byl zaznamenán ulitý start [" + racerName + "]. Přejete si informaci anulovat a pokračovat?",
            MessageButtons::YesNo, MessageIcon::Information};
}

} // namespace

void RaceEngine::countdownTick(int screenWidth, int screenHeight)
{
    RaceState &state = race_.state;

    // Only seats can start; the other channels never become started.
    for (int seat = 0; seat < kSeatCount; ++seat) {
        ChannelState &channel = race_.channels[seat];
        if (!channel.started)
            continue;
        host_.stopTimer(kCountdownTimer);
        recorder_->falseStart(moment(seat));
        const bool goOn = host_.showMessage(falseStartQuestion(settings_.racerName[seat])) == MessageAnswer::Yes;
        recorder_->falseStartAnswered(moment(seat), goOn);
        if (!goOn) {
            host_.closeMainWindow();
            return;
        }
        channel.started = false;
        host_.startTimer(kCountdownTimer, kCountdownPeriodMs);
    }

    const int ticks = state.countdownTicks;
    if (ticks % 10 == 0 && ticks != 0 && ticks <= 50) {
        host_.playSound("soubory/count" + std::to_string(ticks / 10) + ".wav");
        if (ticks == 50) {
            host_.seedRandom(static_cast<unsigned>(host_.calendarSeconds()));
            state.randomStartDelay = host_.nextRandom() % 16 + 5;
        }
    }

    if (state.countdownTicks == state.randomStartDelay + 50) {
        state.lightsWindowCommand = 2;
        state.countdownTicks = 0;
        state.slidePhase = 2;
        host_.playSound("soubory/start.wav");
        host_.stopTimer(kCountdownTimer);
        recordStartSignal();
    }

    const LightsGeometry geometry = lightsGeometry(screenWidth, screenHeight);
    if (!state.lightsGeometryReady) {
        if (!state.lightsWindowRequested) {
            state.lightsWindowCommand = 1;
            state.lightsWindowRequested = true;
            state.lightsWindowRect = geometry.windowFrame();
        }
        if (state.lightsWindowCommand == 0) {
            state.lightsPanelRect = geometry.panel();
            state.lightsGeometryReady = true;
        }
    }
    if (!state.lightsGeometryReady)
        return;

    if (state.countdownTicks % 10 == 0) {
        for (int j = 0; j < 5; ++j) {
            state.lightBrush[j] = state.countdownTicks >= (j + 1) * 10 ? kLightOn : kLightOff;
            state.lightRect[j] = geometry.light(j);
        }
        state.lightsChanged = true;
    }
    ++state.countdownTicks;
}

void RaceEngine::recordSettings()
{
    RecordedSettings recorded{settings_.trackLength, settings_.scale, settings_.lapsPerRide, settings_.racerName};
    recorder_->raceSettings(recorded, host_.hostClockMs());
    recordedSettings_ = std::move(recorded);
}

void RaceEngine::recordStartSignal()
{
    // The menu stays open during the countdown and locks with the start
    // signal: settings changed since the start command are told again, and
    // a reader takes the later line.
    const RecordedSettings now{settings_.trackLength, settings_.scale, settings_.lapsPerRide, settings_.racerName};
    if (recordedSettings_ != now)
        recordSettings();
    recorder_->startSignal(host_.hostClockMs());
}
