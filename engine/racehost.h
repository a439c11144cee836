// What the race engine needs of the world around it: the host clock, calendar
// time and random draws, sounds, modal messages, the main window's numbered
// timers, its title and its closing. MainFrame implements it with Qt; tests
// drive the engine through a scripted fake.
#pragma once

#include "platform/message.h"

#include <cstdint>
#include <string>

class RaceHost : public MessageSink {
public:
    /// Milliseconds since program start.
    virtual std::int32_t hostClockMs() = 0;
    /// Calendar time in seconds, used to seed the start delay.
    virtual std::int64_t calendarSeconds() = 0;
    virtual void seedRandom(unsigned seed) = 0;
    /// The next pseudo-random value, 0 to 32767.
    virtual int nextRandom() = 0;

    /// Plays a sound file asynchronously; a new sound stops the one playing.
    virtual void playSound(const std::string &file) = 0;

    /// Starts (or restarts with a new period) timer \a id of the main window.
    virtual void startTimer(int id, int periodMs) = 0;
    virtual void stopTimer(int id) = 0;

    virtual void setWindowTitle(const std::string &title) = 0;
    /// Destroys the main window, which ends the program.
    virtual void closeMainWindow() = 0;
};
