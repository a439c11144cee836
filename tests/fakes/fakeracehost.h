// A RaceHost for tests: a settable clock, recorded sounds, timers, titles and
// messages, and message answers taken from a script. A message the script
// did not expect fails the test.
#pragma once

#include "engine/racehost.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

class FakeRaceHost : public RaceHost {
public:
    ~FakeRaceHost() override;

    /// The next message must have \a text; it is answered with \a answer.
    void expectMessage(const std::string &text, MessageAnswer answer = MessageAnswer::Ok);
    /// Runs while the next expected message is open (a nested tick, say).
    void whileNextMessageOpen(std::function<void()> action);

    std::int32_t hostClockMs() override { return clockMs; }
    std::int64_t calendarSeconds() override { return calendar; }
    void seedRandom(unsigned seed) override { seeds.push_back(seed); }
    int nextRandom() override { return randomValue; }
    void playSound(const std::string &file) override { sounds.push_back(file); }
    MessageAnswer showMessage(const Message &message) override;
    void startTimer(int id, int periodMs) override { timers[id] = periodMs; }
    void stopTimer(int id) override { timers.erase(id); }
    void setWindowTitle(const std::string &title) override { this->title = title; }
    void closeMainWindow() override { mainWindowClosed = true; }

    bool timerRunning(int id) const { return timers.count(id) != 0; }
    /// Sounds played since the last call, which clears them.
    std::vector<std::string> takeSounds();

    std::int32_t clockMs = 0;
    std::int64_t calendar = 0;
    int randomValue = 0;
    std::vector<unsigned> seeds;
    std::vector<std::string> sounds;
    std::map<int, int> timers;
    std::vector<Message> messages;
    std::string title;
    bool mainWindowClosed = false;

private:
    struct Expected {
        std::string text;
        MessageAnswer answer;
        std::function<void()> whileOpen;
    };
    std::deque<Expected> expected_;
    std::function<void()> pendingWhileOpen_;
};
