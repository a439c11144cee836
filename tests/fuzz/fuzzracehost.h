// The world of a fuzzed race: a clock that only the driver moves, a fixed
// random draw, silent sounds, and a user who answers every question Yes and
// every notice OK, so a run depends on its input bytes alone.
#pragma once

#include "platform/racehost.h"

#include <array>
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
        ++messageCount;
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }

    void startTimer(int id, int) override { setTimer(id, true); }
    void stopTimer(int id) override { setTimer(id, false); }
    void setWindowTitle(const std::string &text) override { title = text; }
    void closeMainWindow() override { mainWindowClosed = true; }

    bool timerRunning(int id) const { return id >= 0 && id < 9 && timers[static_cast<std::size_t>(id)]; }

    std::int32_t clockMs = 0;
    int messageCount = 0;
    std::string title;
    bool mainWindowClosed = false;

private:
    void setTimer(int id, bool running)
    {
        if (id >= 0 && id < 9)
            timers[static_cast<std::size_t>(id)] = running;
    }

    std::array<bool, 9> timers{};
};
