#include "engine/raceengine.h"

#include "engine/duration.h"
#include "engine/hardwareframes.h"
#include "engine/startsequence.h"

#include <cmath>

namespace {

constexpr std::string_view kTitle = "..:: Základní program modelové autodráhy Tramelo ::..";

const Message kNoDataQuestion{"Chyba", "Hardware nekomunikuje! Přejete si pokračovat?", MessageButtons::YesNo,
                              MessageIcon::Warning};
const Message kMalformedDataMessage{"Chyba", "Zpracovávaná data nejsou korektní, neodpovídají formátování!",
                                    MessageButtons::Ok, MessageIcon::Warning};

} // namespace

RaceEngine::RaceEngine(const RaceSettings &settings, RaceHost &host)
    : settings_(settings), host_(host), race_(settings)
{
}

void RaceEngine::receiveBlock(std::string_view block)
{
    if (block.size() != kBlockSize) {
        host_.stopTimer(kPollTimer);
        if (host_.showMessage(kNoDataQuestion) != MessageAnswer::Yes)
            return;
        host_.startTimer(kPollTimer, race_.state.pollPeriodMs);
    }
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
    return std::string(kTitle) + " VOLENá KOLA: " + settings_.lapsPerRide;
}

void RaceEngine::raceClockTick()
{
    RaceState &state = race_.state;
    if (!state.raceClockRunning)
        return;
    if (state.raceStartClock == 0)
        state.raceStartClock = host_.hostClockMs();
    state.raceElapsedMs = static_cast<double>(host_.hostClockMs()) - state.raceStartClock;
    host_.setWindowTitle(lapsTitle() + " / čAS ZáVODU: "
                         + formatDuration(static_cast<std::int32_t>(std::trunc(state.raceElapsedMs))));
}

bool RaceEngine::raceIsOver() const
{
    for (const RacerState &racer : race_.racers) {
        if (racer.flagCode != "2" && !racer.disqualified && racer.nameText != "-1")
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
