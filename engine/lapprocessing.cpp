// The crossing scan after each decoded block and the counting of one lap:
// lap time, speed, best lap and top speed, then standings and race events.
#include "engine/raceengine.h"

#include "engine/duration.h"

#include <algorithm>
#include <limits>

namespace {

std::int64_t cellNumber(const std::string &text)
{
    return settingToInt(text);
}

} // namespace

bool RaceEngine::scanCrossings()
{
    RaceState &state = race_.state;
    bool handled = false;
    // Synchronising and start crossings count no lap and wait for no repaint.
    // Channels without a seat are stored but never take part in the race.
    for (int seat = 0; seat < kSeatCount; ++seat) {
        ChannelState &channel = race_.channels[seat];
        if (channel.timestamp == channel.lastTimestamp || (channel.synced && channel.started))
            continue;
        handled = true;
        channel.lastTimestamp = channel.timestamp;
        if (!channel.synced) {
            channel.synced = true;
            race_.racers[seat].bestLapMs = kNoBestLapMs;
            continue;
        }
        channel.started = true;
        RacerState &racer = race_.racers[seat];
        if (!racer.startHardwareMs)
            racer.startHardwareMs = channel.timestamp;
        recorder_->startCrossing(moment(seat), channel.timestamp);
        // A car that starts late must not restart the clock the first
        // finisher stopped.
        state.raceClockRunning = state.startSignalGiven && !race_.anySeatFinished();
    }
    // The hardware keeps only the newest crossing of each car: all of them
    // are handled before the next block, earliest on the track first, so a
    // close finish is decided by the track and no lap is merged into the next.
    while (state.repaintRow == kNoRow) {
        const int seat = nextCrossing();
        if (seat == kNoRow)
            break;
        handled = true;
        handleCrossing(seat);
    }
    return handled;
}

int RaceEngine::nextCrossing() const
{
    int earliest = kNoRow;
    for (int seat = 0; seat < kSeatCount; ++seat) {
        const ChannelState &channel = race_.channels[seat];
        if (!channel.started || channel.timestamp == channel.lastTimestamp)
            continue;
        if (earliest == kNoRow || hardwareBefore(channel.timestamp, race_.channels[earliest].timestamp))
            earliest = seat;
    }
    return earliest;
}

std::int32_t RaceEngine::lapSpeed(std::int32_t lapMs) const
{
    // (scale x length / 1000 km) / (lapMs / 3 600 000 h) is scale x length x
    // 3600 / lapMs. Integer arithmetic keeps an exact speed exact (doubles
    // make 500 km/h of 499.99...) and is wide enough for any two settings;
    // the lap is never 0 ms because the timestamp changed.
    const std::int64_t lapLength = std::int64_t{settingToInt(settings_.scale)} * settingToInt(settings_.trackLength);
    const std::int64_t whole = lapLength / lapMs;
    const std::int64_t rest = lapLength % lapMs;
    // Both parts share the sign of the quotient, so truncating each truncates
    // the sum; a whole part this large saturates the result anyway.
    constexpr std::int64_t kWholeLimit = std::int64_t{1} << 32;
    const std::int64_t speed = std::clamp(whole, -kWholeLimit, kWholeLimit) * 3600 + rest * 3600 / lapMs;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(speed, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
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
            playCrossingSound("soubory/beep.wav");
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

    // Also a disqualified seat's crossing: a readmission places it as of now.
    racer.setLapReached(cellNumber(racer.lapsText), channel.timestamp);

    Crossing crossing;
    crossing.seat = seat;
    crossing.tank = channel.tankDigit + 1;
    crossing.oldPosition = settingToInt(racer.rankText);
    bool rank = !racer.disqualified;
    const bool countsLap = rank;
    if (rank)
        racer.tankText = std::to_string(crossing.tank);

    for (;;) {
        if (rank)
            rankAfterLap(crossing);
        updateGap(crossing);
        crossing.newPosition = settingToInt(racer.rankText);
        if (rank && crossing.oldPosition == 0)
            crossing.oldPosition = firstPlaceFrom(crossing);
        if (cellNumber(racer.lapsText) >= settingToInt(settings_.lapsPerRide)) {
            finishSeat(seat);
            placeAheadOfLaterFinishers(crossing);
            crossing.finished = true;
            break;
        }
        if (crossing.newPosition != crossing.oldPosition && crossing.oldPosition != 0)
            shiftPositions(crossing);
        if (!crossing.lapSoundPlayed) {
            playCrossingSound("soubory/nextRounds.wav");
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
    // A disqualified seat's crossing counts no lap (it may readmit the seat).
    if (countsLap)
        recordLap(seat, lapMs, speed);
    if (crossing.finished)
        recorder_->finished(moment(seat));
    return CrossingEnd::EndOfCrossing;
}

namespace {

// How much a crossing's sound says: a lap chime, a tone that comes with a
// message box, or words.
int soundWeight(std::string_view file)
{
    if (file == "soubory/nextRounds.wav")
        return 1;
    if (file == "soubory/beep.wav")
        return 2;
    return 3;
}

} // namespace

void RaceEngine::playCrossingSound(std::string_view file)
{
    // Starting a sound stops the one playing, and the crossings of one block
    // come a row repaint apart: of them, a sound plays only if it says more
    // than what the block has already played, and words are never cut. One
    // crossing keeps every sound it ever had (the chime, then its event).
    const int weight = soundWeight(file);
    if (weight <= blockSoundWeight_)
        return;
    blockSoundWeight_ = weight;
    host_.playSound(std::string(file));
}

void RaceEngine::recordLap(int seat, std::int32_t lapMs, std::int32_t speed)
{
    const RacerState &racer = race_.racers[seat];
    LapEntry lap;
    lap.seat = seat;
    lap.lap = cellNumber(racer.lapsText);
    lap.hardwareMs = race_.channels[seat].timestamp;
    lap.hostMs = host_.hostClockMs();
    lap.lapMs = lapMs;
    lap.speedKmh = speed;
    lap.position = settingToInt(racer.rankText);
    lap.lapTimeText = racer.lastLapTimeText;
    lap.gapText = racer.gapText;
    lap.tank = settingToInt(racer.tankText);
    recorder_->lapCounted(lap);
}

void RaceEngine::showRacerMessage(int seat, const std::string &tail)
{
    host_.showMessage({"informace", "Závodník [" + settings_.racerName[seat] + tail, MessageButtons::Ok,
                       MessageIcon::Information});
}
