// What a crossing can do besides counting a lap: finish the seat's race, carry
// out a disqualification or readmission asked for with the row buttons, count
// leaving the track, and report the fuel tank.
#include "engine/raceengine.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kFirstButtonCommand = 3100;
constexpr int kLastButtonCommand = 3115;
constexpr std::int32_t kOffTrackEvent = 3;
constexpr std::int32_t kDisqualifiedPosition = 34;

const Message kActionPending{"Informace", "Akce se právě provádí, strpení ...", MessageButtons::Ok,
                             MessageIcon::Information};
const Message kActionIllogical{"Varování", "Akce nelze provést, je v rozporu s logikou!", MessageButtons::Ok,
                               MessageIcon::Warning};

} // namespace

void RaceEngine::racerButtonCommand(int command)
{
    if (command < kFirstButtonCommand || command > kLastButtonCommand)
        return;
    const int seat = (command - kFirstButtonCommand) / 2;
    const bool disqualifyButton = (command - kFirstButtonCommand) % 2 == 1;
    RacerState &racer = race_.racers[seat];

    if (disqualifyButton ? racer.disqualifyRequested : racer.readmitRequested) {
        host_.showMessage(kActionPending);
        return;
    }
    if (disqualifyButton == racer.disqualified) {
        host_.showMessage(kActionIllogical);
        return;
    }
    if (disqualifyButton) {
        racer.disqualifyRequested = true;
        recorder_->disqualifyRequested(moment(seat));
        return;
    }
    host_.playSound("soubory/go.wav");
    racer.rankText = "GO";
    racer.flagCode = "1";
    race_.requestRepaint(seat);
    racer.readmitRequested = true;
    recorder_->readmitRequested(moment(seat));
}

void RaceEngine::finishSeat(int seat)
{
    playCrossingSound("soubory/finish.wav");
    RacerState &racer = race_.racers[seat];
    racer.flagCode = kFinishedFlag;
    // On the lap counter's clock, as the report takes it: the race clock's
    // tick can be a second late.
    if (racer.startHardwareMs)
        racer.raceTimeMs = static_cast<std::int32_t>(race_.channels[seat].timestamp - *racer.startHardwareMs);
    // The race clock stops at the first finisher and is never restarted.
    race_.state.raceClockRunning = false;
}

RaceEngine::CrossingEnd RaceEngine::eventsAfterLap(Crossing &crossing)
{
    const int seat = crossing.seat;
    RacerState &racer = race_.racers[seat];
    ChannelState &channel = race_.channels[seat];

    if (racer.disqualifyRequested && !racer.disqualified) {
        disqualify(crossing);
        return CrossingEnd::EndOfCrossing;
    }
    if (!racer.disqualified) {
        if (channel.eventDigit == kOffTrackEvent)
            return leaveTrack(crossing);
        tankFlags(crossing);
        return CrossingEnd::EndOfCrossing;
    }
    if (!racer.readmitRequested) {
        // Recorded before the box opens, so a tick under the box does not report it again.
        channel.lastTimestamp = channel.timestamp;
        playCrossingSound("soubory/beep.wav");
        showRacerMessage(seat, "] již byl diskvalifikován! Prosím, opusťte závod.");
        return CrossingEnd::NextChannel;
    }
    if (!crossing.readmitPass) {
        beginReadmission(crossing);
    } else {
        racer.disqualified = false;
        racer.readmitRequested = false;
        crossing.suppressShift = true;
        recorder_->readmitted(moment(seat), channel.timestamp);
    }
    return CrossingEnd::AnotherPass;
}

void RaceEngine::disqualify(Crossing &crossing)
{
    RacerState &racer = race_.racers[crossing.seat];
    racer.disqualifyRequested = false;
    crossing.suppressShift = false;
    racer.disqualified = true;
    crossing.oldPosition = settingToInt(racer.rankText) + 1;
    crossing.newPosition = kDisqualifiedPosition;
    racer.flagCode = "0";
    racer.rankText = "!";
    racer.gapText = "- diskvalifikace -";
    shiftPositions(crossing);
    recorder_->disqualified(moment(crossing.seat));
}

RaceEngine::CrossingEnd RaceEngine::leaveTrack(Crossing &crossing)
{
    RacerState &racer = race_.racers[crossing.seat];
    const std::int32_t counting = settingToInt(settings_.autoOffTrackCounting);
    // Saturating: a hand-edited counting value of any size must not overflow.
    racer.offTrackCount = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        std::int64_t{racer.offTrackCount} + counting, INT32_MIN, INT32_MAX));
    recorder_->leftTrack(moment(crossing.seat), racer.offTrackCount);
    if (racer.offTrackCount >= 4) {
        disqualify(crossing);
        return CrossingEnd::EndOfCrossing;
    }
    if (racer.offTrackCount == 1)
        playCrossingSound("soubory/relais.wav");
    racer.flagCode = settings_.autoOffTrackCounting == "0" ? std::string("1")
                                                            : std::to_string(6 - std::int64_t{racer.offTrackCount});
    if (counting == 0)
        tankFlags(crossing);
    return CrossingEnd::EndOfCrossing;
}

void RaceEngine::tankFlags(const Crossing &crossing)
{
    RacerState &racer = race_.racers[crossing.seat];
    racer.offTrackCount = 0;
    if (crossing.tank == 2) {
        playCrossingSound("soubory/fuellow.wav");
        recorder_->fuelLow(moment(crossing.seat));
    } else if (crossing.tank == 1) {
        recorder_->fuelEmpty(moment(crossing.seat));
    }
    racer.flagCode = crossing.tank > 2 ? "1" : crossing.tank == 1 ? "7" : "6";
}

void RaceEngine::beginReadmission(Crossing &crossing)
{
    // Behind the last placed seat: one more than the highest position.
    std::int64_t position = 0;
    for (const RacerState &other : race_.racers) {
        const std::int64_t r = settingToInt(other.rankText);
        if (r >= position)
            position = r + 1;
    }
    RacerState &racer = race_.racers[crossing.seat];
    racer.rankText = std::to_string(position);
    crossing.readmitPass = true;
    crossing.oldPosition = static_cast<std::int32_t>(position);
}
