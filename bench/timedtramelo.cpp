// tramelo-timed: the program exactly as a user runs it, with the timing probe
// attached from outside the main window, so that bench/measure-race.py can
// time a race before the window carries the probe itself. After every
// dispatched event it looks which seats' crossings the engine has handled
// (their last timestamp moved), after every paint of the race table it
// reports the row that paint was for, and it names every event whose handling
// kept the loop busy for more than 10 ms ("slow-event type=T receiver=C
// took=D at=M", D in microseconds), so that a stall the heartbeat reports can
// be told apart. Enable the output with QT_LOGGING_RULES="tramelo.timing=true".
// TRAMELO_TIMED_NO_RECORD=1 runs the race without its record (journal and
// captured line), so that measure-race.py can compare the two side by side.
#include "app/liveboard.h"
#include "shell/mainframe.h"
#include "shell/raceapp.h"
#include "display/racetablewidget.h"
#include "engine/raceengine.h"
#include "shell/timingprobe.h"
#include "shell/racearchive.h"
#include "web/boardserver.h"

#include <QTimer>

#include <array>
#include <chrono>

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
        // Neither the event nor its receiver need outlive the handling.
        const QEvent::Type type = event->type();
        const char *receiverClass = receiver->metaObject()->className();
        const auto started = std::chrono::steady_clock::now();
        ++depth_;
        const bool result = RaceApp::notify(receiver, event);
        --depth_;
        if (depth_ == 0)
            reportSlowEvent(type, receiverClass, std::chrono::steady_clock::now() - started);
        if (tablePaint && row != kNoRow)
            TimingProbe::rowPainted(row);
        reportHandledCrossings(race);
        return result;
    }

private:
    static void reportSlowEvent(QEvent::Type type, const char *receiverClass,
                                std::chrono::steady_clock::duration took)
    {
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(took).count();
        if (micros > 10'000)
            qCInfo(lcTiming, "slow-event type=%d receiver=%s took=%lld at=%lld", int(type), receiverClass,
                   static_cast<long long>(micros),
                   static_cast<long long>(TimingProbe::monotonicMs()));
    }

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
    int depth_ = 0;
};

} // namespace

int main(int argc, char **argv)
{
    TimedRaceApp app(argc, argv);
    TimingProbe probe;
    if (!qEnvironmentVariableIsEmpty("TRAMELO_TIMED_NO_RECORD"))
        QTimer::singleShot(0, &app, [&app] { app.mainFrame()->raceArchive().setRecording(false); });
    // "--web [ADDRESS:]PORT" as the program takes it, for bench/board-load.py.
    const QStringList arguments = app.arguments();
    const qsizetype web = arguments.indexOf(QStringLiteral("--web"));
    std::unique_ptr<BoardServer> board;
    if (web > 0) {
        const std::optional<BoardAddress> address = parseBoardAddress(arguments.value(web + 1));
        if (!address || !(board = openLiveBoard(*address)))
            return 2;
    }
    return app.run([&board](MainFrame &window) {
        if (board)
            showOnLiveBoard(*board, window);
    });
}
