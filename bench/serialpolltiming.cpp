// serial-poll-timing: how long one poll of the serial line keeps the event
// loop busy, for the link's gathered, non-blocking read and, side by side on
// the same line, for a blocking read of a whole block (a waitForReadyRead
// loop). Each design runs twice: polled every 350 ms as in a race (purge
// after the read), and with a purge just before each read, so that every
// read has to wait for 636 new bytes; and, when it started the simulator
// itself, on a silent line (the simulator stopped with SIGSTOP), where every
// read lasts its full second. Meanwhile a 1 ms heartbeat timer
// ticks: the longest gap between two heartbeats is the longest the window
// could not repaint or react.
// Columns: time inside the poll call (median, max), heartbeat gaps (median,
// max) and how many gaps were longer than one 60 Hz frame.
//
// Usage: serial-poll-timing [--polls N] [DEVICE]
// Without DEVICE it starts the track simulator and reads its pseudo-terminal.
#include "engine/hardwareframes.h"
#include "setup/seriallink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kPollPeriodMs = 350;

class PrintedMessages : public MessageSink {
public:
    MessageAnswer showMessage(const Message &message) override
    {
        std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), message.text.c_str());
        return MessageAnswer::Ok;
    }
};

struct PhaseResult {
    std::vector<double> pollCallMs;
    std::vector<double> heartbeatGapMs;
    int fullBlocks = 0;
};

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

// Runs \a polls polls of \a poll, one per period, with the heartbeat going.
// \a poll returns when its call is over; \a blockDone is called by the
// design when a block was delivered, with its size.
PhaseResult runPhase(int polls, const std::function<void()> &poll, std::function<void(int)> &blockDone)
{
    PhaseResult result;
    QEventLoop loop;
    int delivered = 0;
    blockDone = [&](int size) {
        result.fullBlocks += size == kBlockSize;
        if (++delivered == polls)
            loop.quit();
    };

    QElapsedTimer clock;
    clock.start();
    qint64 lastBeatNs = clock.nsecsElapsed();
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        result.heartbeatGapMs.push_back(static_cast<double>(now - lastBeatNs) / 1e6);
        lastBeatNs = now;
    });
    QTimer pollTimer;
    pollTimer.setTimerType(Qt::PreciseTimer);
    int started = 0;
    QObject::connect(&pollTimer, &QTimer::timeout, [&] {
        if (started++ == polls)
            return;
        QElapsedTimer call;
        call.start();
        poll();
        result.pollCallMs.push_back(static_cast<double>(call.nsecsElapsed()) / 1e6);
    });
    heartbeat.start(1);
    pollTimer.start(kPollPeriodMs);
    loop.exec();
    return result;
}

PhaseResult measureLink(const QString &device, int polls, bool purgeFirst)
{
    RaceSettings settings;
    applyFactorySettings(settings);
    settings.commPort = device.toStdString();
    PrintedMessages messages;
    SerialLink link;
    if (!link.openSerialPort(settings, messages))
        return {};
    std::function<void(int)> blockDone;
    QObject::connect(&link, &SerialLink::blockReceived, [&](const QByteArray &block) { blockDone(block.size()); });
    return runPhase(
        polls,
        [&] {
            if (purgeFirst)
                link.purgePort();
            link.poll();
        },
        blockDone);
}

PhaseResult measureBlockingRead(const QString &device, int polls, bool purgeFirst)
{
    QSerialPort port(device);
    if (!port.open(QIODevice::ReadOnly) || !port.setBaudRate(57600)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(device));
        return {};
    }
    std::function<void(int)> blockDone;
    const auto blockingPoll = [&] {
        if (purgeFirst)
            port.clear();
        QByteArray block;
        QElapsedTimer waited;
        waited.start();
        while (block.size() < kBlockSize && waited.elapsed() < SerialLink::kReadTimeoutMs) {
            if (port.bytesAvailable() == 0
                && !port.waitForReadyRead(static_cast<int>(SerialLink::kReadTimeoutMs - waited.elapsed())))
                break;
            block += port.read(kBlockSize - block.size());
        }
        port.clear();
        blockDone(static_cast<int>(block.size()));
    };
    return runPhase(polls, blockingPoll, blockDone);
}

void printRow(const char *design, const PhaseResult &result)
{
    // Longer than a 60 Hz frame: the window visibly stood still.
    const auto frozen = std::count_if(result.heartbeatGapMs.begin(), result.heartbeatGapMs.end(),
                                      [](double gap) { return gap > 16.7; });
    std::printf("%-30s %5zu %5d %9.3f %9.3f %9.3f %9.3f %7td\n", design, result.pollCallMs.size(),
                result.fullBlocks, percentile(result.pollCallMs, 0.5), percentile(result.pollCallMs, 1.0),
                percentile(result.heartbeatGapMs, 0.5), percentile(result.heartbeatGapMs, 1.0), frozen);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    int polls = 20;
    if (arguments.size() >= 2 && arguments[0] == "--polls") {
        polls = std::max(1, arguments[1].toInt());
        arguments = arguments.mid(2);
    }

    QProcess simulator;
    QString device = arguments.value(0);
    if (device.isEmpty()) {
        simulator.start(QStringLiteral(TRACK_SIMULATOR), {});
        if (!simulator.waitForStarted() || !simulator.waitForReadyRead(5000)) {
            std::fprintf(stderr, "the track simulator did not start\n");
            return 1;
        }
        device = QString::fromUtf8(simulator.readLine()).trimmed();
    }

    const PhaseResult gathered = measureLink(device, polls, false);
    const PhaseResult gatheredFresh = measureLink(device, polls, true);
    const PhaseResult blocking = measureBlockingRead(device, polls, false);
    const PhaseResult blockingFresh = measureBlockingRead(device, polls, true);
    PhaseResult silentLink, silentBlocking;
    if (simulator.state() != QProcess::NotRunning) {
        const auto pid = static_cast<pid_t>(simulator.processId());
        constexpr int kSilentPolls = 5;
        ::kill(pid, SIGSTOP);
        silentLink = measureLink(device, kSilentPolls, true);
        silentBlocking = measureBlockingRead(device, kSilentPolls, true);
        ::kill(pid, SIGCONT);
        simulator.terminate();
        simulator.waitForFinished();
    }

    std::printf("%d polls every %d ms on %s (57600 bit/s); times in ms\n", polls, kPollPeriodMs,
                qPrintable(device));
    std::printf("%-30s %5s %5s %9s %9s %9s %9s %7s\n", "design", "polls", "full", "call med", "call max",
                "beat med", "beat max", ">16.7ms");
    printRow("link, race polling", gathered);
    printRow("link, purge before read", gatheredFresh);
    printRow("blocking, race polling", blocking);
    printRow("blocking, purge before read", blockingFresh);
    if (!silentLink.pollCallMs.empty()) {
        printRow("link, silent line", silentLink);
        printRow("blocking, silent line", silentBlocking);
    }
    for (const PhaseResult *result : {&gathered, &gatheredFresh, &blocking, &blockingFresh}) {
        if (result->pollCallMs.empty())
            return 1;
    }
    return 0;
}
