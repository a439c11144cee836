// tramelo-timed: the program exactly as a user runs it, with the timing probe
// attached from outside the main window, so that bench/measure-race.py can
// time a race before the window carries the probe itself. After every
// dispatched event it looks which seats' crossings the engine has handled
// (their last timestamp moved), and after every paint of the race table it
// reports the row that paint was for. Enable the output with
// QT_LOGGING_RULES="tramelo.timing=true".
#include "config/mainframe.h"
#include "config/raceapp.h"
#include "display/racetablewidget.h"
#include "engine/raceengine.h"
#include "platform/timingprobe.h"

#include <array>

namespace {

class TimedRaceApp : public RaceApp {
public:
    using RaceApp::RaceApp;

    bool notify(QObject *receiver, QEvent *event) override
    {
        MainFrame *frame = mainFrame();
        if (!frame)
            return RaceApp::notify(receiver, event);
        const Race &race = frame->engine().race();
        const bool tablePaint = event->type() == QEvent::Paint && receiver == frame->raceTable();
        // The paint consumes the request, so read the row before it runs.
        const int row = race.state.repaintRow;
        const bool result = RaceApp::notify(receiver, event);
        if (tablePaint && row != kNoRow)
            TimingProbe::rowPainted(row);
        reportHandledCrossings(race);
        return result;
    }

private:
    void reportHandledCrossings(const Race &race)
    {
        for (int seat = 0; seat < kSeatCount; ++seat) {
            const std::uint32_t handled = race.channels[seat].lastTimestamp;
            if (handled != seen_[seat]) {
                seen_[seat] = handled;
                TimingProbe::crossingHandled(seat, handled);
            }
        }
    }

    std::array<std::uint32_t, kSeatCount> seen_{};
};

} // namespace

int main(int argc, char **argv)
{
    TimedRaceApp app(argc, argv);
    TimingProbe probe;
    return app.run();
}
