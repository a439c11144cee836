#include "engine/raceengine.h"

#include "engine/duration.h"
#include "engine/hardwareframes.h"

namespace {

const Message kNoDataQuestion{"Chyba", "Hardware nekomunikuje! Přejete si pokračovat?", MessageButtons::YesNo,
                              MessageIcon::Warning};
const Message kMalformedDataMessage{"Chyba", "Zpracovávaná data nejsou korektní, neodpovídají formátování!",
                                    MessageButtons::Ok, MessageIcon::Warning};

// The base recorder keeps nothing; it stands in when no record is kept.
RaceRecorder noRecording;

} // namespace

RaceEngine::RaceEngine(const RaceSettings &settings, RaceHost &host)
    : settings_(settings), host_(host), race_(settings), recorder_(&noRecording)
{
}

void RaceEngine::setRecorder(RaceRecorder *recorder)
{
    recorder_ = recorder ? recorder : &noRecording;
    // A new recorder has been told nothing yet.
    recordedSettings_.reset();
}

SeatMoment RaceEngine::moment(int seat)
{
    return {seat, settingToInt(race_.racers[seat].lapsText), host_.hostClockMs()};
}

void RaceEngine::receiveBlock(std::string_view block)
{
    if (block.size() != kBlockSize) {
        host_.stopTimer(kPollTimer);
        if (host_.showMessage(kNoDataQuestion) != MessageAnswer::Yes)
            return;
        host_.startTimer(kPollTimer, race_.state.pollPeriodMs);
    }
    blockSoundWeight_ = 0;
    if (decodeBlock(block, race_.channels, race_.state.receiveBuffer) == DecodeResult::Malformed
        && !malformedMessageOpen_) {
        // The poll keeps running under the box: one box at a time is enough.
        malformedMessageOpen_ = true;
        host_.showMessage(kMalformedDataMessage);
        malformedMessageOpen_ = false;
    }
    scanCrossings();
}

std::string RaceEngine::lapsTitle() const
{
    return std::string(kWindowTitle) + " VOLENá KOLA: " + settings_.lapsPerRide;
}

void RaceEngine::raceClockTick()
{
    RaceState &state = race_.state;
    if (!state.raceClockRunning)
        return;
    if (state.raceStartClock == 0)
        state.raceStartClock = host_.hostClockMs();
    // Taken on the wrapping 32-bit clock, so the time always fits the
    // duration text, even if the host clock wraps during the race.
    const auto elapsed = static_cast<std::int32_t>(static_cast<std::uint32_t>(host_.hostClockMs())
                                                   - static_cast<std::uint32_t>(state.raceStartClock));
    state.raceElapsedMs = elapsed;
    host_.setWindowTitle(lapsTitle() + " / čAS ZáVODU: " + formatDuration(elapsed));
}

bool RaceEngine::raceIsOver() const
{
    for (const RacerState &racer : race_.racers) {
        if (racer.flagCode != kFinishedFlag && !racer.disqualified && racer.nameText != "-1")
            return false;
    }
    return true;
}

void RaceEngine::enterRaceScreen()
{
    RaceState &state = race_.state;
    host_.setWindowTitle(lapsTitle());
    state.raceScreenReady = true;
    state.slidePhase = 4;
    host_.stopTimer(kSlideTimer);
    for (int seat = 0; seat < kSeatCount; ++seat)
        race_.racers[seat].nameText = nameCellText(settings_.racerName[seat]);
    host_.startTimer(kRepaintTimer, 10);
    host_.startTimer(kRaceEndTimer, 800);
    host_.startTimer(kLogoTimer, 1000);
}
