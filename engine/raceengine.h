// The race engine: the work of the main window's timer ticks and row buttons
// on the race state. It decides everything and talks to the world only
// through RaceHost, so tests can play a whole race tick by tick.
#pragma once

#include "config/racesettings.h"
#include "engine/racestate.h"
#include "engine/racehost.h"
#include "engine/racerecorder.h"

#include <optional>

#include <string_view>

/// The main window's numbered timers.
enum TimerId : int {
    kSlideTimer = 1,
    kCountdownTimer = 2,
    kLogoTimer = 3,
    kLightsWindowTimer = 4,
    kRepaintTimer = 5,
    kPollTimer = 6,
    kRaceClockTimer = 7,
    kRaceEndTimer = 8,
};

/// The main window's title; the race adds the laps and the race clock to it.
inline constexpr std::string_view kWindowTitle = "..:: Základní program modelové autodráhy Tramelo ::..";
inline constexpr int kRaceClockPeriodMs = 1131; // 800 x sqrt(2), truncated
inline constexpr int kCountdownPeriodMs = 100;

class RaceEngine {
public:
    RaceEngine(const RaceSettings &settings, RaceHost &host);

    /// Who is told what happens to the race; null (the default) records nothing.
    void setRecorder(RaceRecorder *recorder);
    /// Tells the recorder the settings in force; called at the start command,
    /// so a race that never reaches its start signal still has them.
    void recordSettings();

    Race &race() { return race_; }
    const Race &race() const { return race_; }
    RaceState &state() { return race_.state; }
    const RaceState &state() const { return race_.state; }

    /// The poll's work once a block has been read and the port purged: the
    /// question on a short block, decoding, and the crossing scan.
    void receiveBlock(std::string_view block);

    /// Looks for channels whose timestamp changed: synchronises and starts
    /// them, then handles the counted crossings in the order the cars
    /// crossed, each waiting for the repaint of the row the one before
    /// changed. The repaint timer calls it again after each paint, so every
    /// crossing of a block is handled before the next block is read. True
    /// when it handled anything.
    bool scanCrossings();

    /// The row buttons, commands 3100 (seat 0 "GO") to 3115 (seat 7 disqualify).
    void racerButtonCommand(int command);

    /// One 100 ms countdown tick on a screen of \a screenWidth x \a screenHeight.
    void countdownTick(int screenWidth, int screenHeight);

    /// One race-clock tick: the race time in the window title.
    void raceClockTick();

    /// True when every used seat has finished or is disqualified.
    bool raceIsOver() const;

    /// The end of the grow-back: the race screen is up, names are taken again.
    void enterRaceScreen();

    /// The window title while the race is on, without the race time.
    std::string lapsTitle() const;

private:
    // Working values of one counted crossing.
    struct Crossing {
        int seat = 0;
        std::int32_t oldPosition = 0;
        std::int32_t newPosition = 0;
        std::int32_t tank = 0;
        int leader = -1;
        std::int64_t leaderLaps = 0;
        bool readmitPass = false;
        bool suppressShift = false;
        bool lapSoundPlayed = false;
        bool finished = false;
    };
    // How the race events of a crossing end it.
    enum class CrossingEnd { EndOfCrossing, NextChannel, AnotherPass };

    int nextCrossing() const;
    CrossingEnd handleCrossing(int seat);
    void playCrossingSound(std::string_view file);
    void placeAheadOfLaterFinishers(const Crossing &crossing);
    std::int32_t firstPlaceFrom(const Crossing &crossing) const;
    void rankAfterLap(Crossing &crossing);
    void updateGap(const Crossing &crossing);
    void shiftPositions(const Crossing &crossing);
    void finishSeat(int seat);
    CrossingEnd eventsAfterLap(Crossing &crossing);
    void disqualify(Crossing &crossing);
    CrossingEnd leaveTrack(Crossing &crossing);
    void tankFlags(const Crossing &crossing);
    void beginReadmission(Crossing &crossing);
    void showRacerMessage(int seat, const std::string &tail);
    std::int32_t lapSpeed(std::int32_t lapMs) const;
    SeatMoment moment(int seat);
    void recordLap(int seat, std::int32_t lapMs, std::int32_t speed);
    void recordStartSignal();

    const RaceSettings &settings_;
    RaceHost &host_;
    Race race_;
    bool malformedMessageOpen_ = false;
    // The weightiest sound the crossings of the present block have played.
    int blockSoundWeight_ = 0;
    RaceRecorder *recorder_;
    /// The settings the recorder was last told, if any.
    std::optional<RecordedSettings> recordedSettings_;
};
