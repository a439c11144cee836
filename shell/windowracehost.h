// The race engine's host as the main window provides it: the window's timers,
// title and closing, the host clock, sounds and modal message boxes.
#pragma once

#include "engine/racehost.h"

#include <random>

class MainFrame;

class WindowRaceHost : public RaceHost {
public:
    explicit WindowRaceHost(MainFrame &frame) : frame_(frame) {}

    std::int32_t hostClockMs() override;
    std::int64_t calendarSeconds() override;
    void seedRandom(unsigned seed) override;
    int nextRandom() override;
    void playSound(const std::string &file) override;
    MessageAnswer showMessage(const Message &message) override;
    void startTimer(int id, int periodMs) override;
    void stopTimer(int id) override;
    void setWindowTitle(const std::string &title) override;
    void closeMainWindow() override;

private:
    MainFrame &frame_;
    std::minstd_rand random_;
};
