// The world of a fuzzed race: a clock that only the driver moves, a fixed
// random draw, silent sounds, timers and title, and a user who answers every
// question Yes and every notice OK, so a run depends on its input bytes alone.
#pragma once

#include "engine/racehost.h"

#include <cstdint>
#include <string>

class FuzzRaceHost : public RaceHost {
public:
    std::int32_t hostClockMs() override { return clockMs; }
    std::int64_t calendarSeconds() override { return 1'700'000'000; }
    void seedRandom(unsigned) override {}
    int nextRandom() override { return 12345; }
    void playSound(const std::string &) override {}
    MessageAnswer showMessage(const Message &message) override
    {
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    void startTimer(int, int) override {}
    void stopTimer(int) override {}
    void setWindowTitle(const std::string &) override {}
    void closeMainWindow() override { mainWindowClosed = true; }

    std::int32_t clockMs = 0;
    bool mainWindowClosed = false;
};
