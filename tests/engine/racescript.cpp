#include "engine/racescript.h"

RaceSettings RaceScript::twoRacers()
{
    RaceSettings settings;
    applyFactorySettings(settings);
    settings.racerName[0] = "Adam";
    settings.racerName[1] = "Bára";
    settings.lapsPerRide = "5";
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

void RaceScript::startRace(std::uint32_t startMs)
{
    for (int channel = 1; channel <= kChannelCount; ++channel)
        report(channel, 500);
    poll();
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
