// The crossing scan after each decoded block and the counting of one lap:
// lap time, speed, best lap and top speed, then standings and race events.
#include "engine/raceengine.h"

#include "engine/duration.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr std::int32_t kInitialBestLapMs = 1'000'000'000;

std::int64_t cellNumber(const std::string &text)
{
    return settingToInt(text);
}

} // namespace

void RaceEngine::scanCrossings()
{
    RaceState &state = race_.state;
    for (int index = 0; index < kChannelCount && state.repaintRow == kNoRow; ++index) {
        ChannelState &channel = race_.channels[index];
        // Channels without a seat are stored but never take part in the race.
        if (index >= kSeatCount || channel.timestamp == channel.lastTimestamp)
            continue;
        if (!channel.synced || !channel.started)
            channel.lastTimestamp = channel.timestamp;
        if (!channel.synced) {
            channel.synced = true;
            race_.racers[index].bestLapMs = kInitialBestLapMs;
            continue;
        }
        if (!channel.started) {
            channel.started = true;
            // A car that starts late must not restart the clock the first
            // finisher stopped: the winner's total time is read from it.
            state.raceClockRunning = state.startSignalGiven && !race_.anySeatFinished();
            continue;
        }
        if (handleCrossing(index) == CrossingEnd::EndOfCrossing)
            return;
    }
}

std::int32_t RaceEngine::lapSpeed(std::int32_t lapMs) const
{
    // Wide enough for any product of two settings; the lap is never 0 ms
    // because the timestamp changed, so the quotient is finite.
    const double lapKm = static_cast<double>(std::int64_t{settingToInt(settings_.scale)}
                                             * settingToInt(settings_.trackLength))
                         / 1000.0;
    const double speed = lapKm / (lapMs / 3600000.0);
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(std::trunc(std::clamp(speed, kMin, kMax)));
}

RaceEngine::CrossingEnd RaceEngine::handleCrossing(int seat)
{
    ChannelState &channel = race_.channels[seat];
    RacerState &racer = race_.racers[seat];

    // A difference of the wrapping 32-bit hardware clock.
    const auto lapMs = static_cast<std::int32_t>(channel.timestamp - channel.lastTimestamp);
    const std::int32_t speed = lapSpeed(lapMs);

    if (!racer.disqualified) {
        if (racer.flagCode == kFinishedFlag) {
            channel.lastTimestamp = channel.timestamp;
            host_.playSound("soubory/beep.wav");
            showRacerMessage(seat, "] již závod dojel! Prosím, vyčkejte na konec závodu.");
            return CrossingEnd::NextChannel;
        }
        racer.lapsText = std::to_string(cellNumber(racer.lapsText) + 1);
        racer.lastLapTimeText = formatDuration(lapMs);
        racer.lastLapSpeedText = std::to_string(speed);
        if (lapMs < racer.bestLapMs)
            racer.bestLapMs = lapMs;
        racer.bestLapTimeText = formatDuration(racer.bestLapMs);
        if (speed > racer.maxSpeedKmh)
            racer.maxSpeedKmh = speed;
        racer.bestSpeedText = std::to_string(racer.maxSpeedKmh);
    }

    Crossing crossing;
    crossing.seat = seat;
    crossing.tank = channel.tankDigit + 1;
    crossing.oldPosition = settingToInt(racer.rankText);
    bool rank = !racer.disqualified;
    if (rank)
        racer.tankText = std::to_string(crossing.tank);

    for (;;) {
        if (rank)
            rankAfterLap(crossing);
        updateGap(crossing);
        crossing.newPosition = settingToInt(racer.rankText);
        if (cellNumber(racer.lapsText) >= settingToInt(settings_.lapsPerRide)) {
            finishSeat(seat);
            break;
        }
        if (crossing.newPosition != crossing.oldPosition && crossing.oldPosition != 0)
            shiftPositions(crossing);
        if (!crossing.lapSoundPlayed) {
            host_.playSound("soubory/nextRounds.wav");
            crossing.lapSoundPlayed = true;
        }
        const CrossingEnd end = eventsAfterLap(crossing);
        if (end == CrossingEnd::NextChannel)
            return end;
        if (end == CrossingEnd::EndOfCrossing)
            break;
        rank = true; // a readmission pass goes on with the ranking
    }

    channel.lastTimestamp = channel.timestamp;
    race_.requestRepaint(seat);
    return CrossingEnd::EndOfCrossing;
}

void RaceEngine::showRacerMessage(int seat, const std::string &tail)
{
    host_.showMessage({"informace", "Závodník [" + settings_.racerName[seat] + tail, MessageButtons::Ok,
                       MessageIcon::Information});
}
