#include "engine/racescript.h"

RaceSettings RaceScript::twoRacers(const std::string &laps)
{
    RaceSettings settings;
    applyFactorySettings(settings);
    settings.racerName[0] = "Adam";
    settings.racerName[1] = "Bára";
    settings.lapsPerRide = laps;
    return settings;
}

RaceScript::RaceScript(const RaceSettings &raceSettings) : settings(raceSettings), engine(settings, host) {}

void RaceScript::report(int channel, std::uint32_t timestamp, int tankDigit, int eventDigit)
{
    reports_[static_cast<std::size_t>(channel - 1)] = {timestamp, tankDigit, eventDigit};
}

void RaceScript::paint()
{
    while (state().repaintRow != kNoRow)
        engine.race().repaintDone();
}

void RaceScript::synchronise(int channels)
{
    for (int channel = 1; channel <= channels; ++channel)
        report(channel, 500);
    poll();
}

void RaceScript::startRace(std::uint32_t startMs)
{
    synchronise();
    state().startSignalGiven = true;
    engine.enterRaceScreen();
    for (int seat = 0; seat < kSeatCount; ++seat)
        report(seat + 1, startMs);
    host.clockMs = static_cast<std::int32_t>(startMs);
    poll();
    host.takeSounds();
}

void RaceScript::cross(int seat, std::uint32_t timestamp, int tankDigit, int eventDigit)
{
    paint();
    report(seat + 1, timestamp, tankDigit, eventDigit);
    host.clockMs = static_cast<std::int32_t>(timestamp);
    poll();
}

Texts RaceScript::column(std::string RacerState::*cell, int seats)
{
    Texts texts;
    for (int seat = 0; seat < seats; ++seat)
        texts.push_back(racer(seat).*cell);
    return texts;
}
