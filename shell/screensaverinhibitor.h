// Keeps the screen from blanking and the machine from sleeping while the
// program runs: a race is watched, not typed at. The inhibitions go through
// the session's screen saver and the login manager over D-Bus and are tied to
// this process, so they also end when the program dies. Without a bus it
// silently does nothing.
#pragma once

#include <QtGlobal>

class ScreenSaverInhibitor {
public:
    ScreenSaverInhibitor();
    ~ScreenSaverInhibitor();
    ScreenSaverInhibitor(const ScreenSaverInhibitor &) = delete;
    ScreenSaverInhibitor &operator=(const ScreenSaverInhibitor &) = delete;

    bool screenSaverInhibited() const { return cookie_ != 0; }
    bool sleepInhibited() const { return sleepLock_ >= 0; }

private:
    quint32 cookie_ = 0;
    int sleepLock_ = -1;
};
