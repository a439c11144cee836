// The serial link on the real QSerialPort, reading the track simulator's
// pseudo-terminal.
#include "engine/hardwareframes.h"
#include "fakes/recordingmessages.h"
#include "setup/seriallink.h"
#include "setup/serialportdevice.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <vector>

namespace {

// The simulator as a child process that is always ended with the test.
class Simulator {
public:
    Simulator() = default;
    Simulator(const Simulator &) = delete;
    Simulator &operator=(const Simulator &) = delete;
    ~Simulator() { stop(); }

    /// Starts it and returns the device path it prints, or "" on failure.
    QString start(const QStringList &arguments)
    {
        process_.start(QStringLiteral(TRACK_SIMULATOR), arguments);
        if (!process_.waitForStarted(5000))
            return {};
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(5000))
                return {};
        }
        return QString::fromUtf8(process_.readLine()).trimmed();
    }
    void pause() { ::kill(static_cast<pid_t>(process_.processId()), SIGSTOP); }
    void resume() { ::kill(static_cast<pid_t>(process_.processId()), SIGCONT); }
    /// Ends it the way a user would (SIGTERM), which also removes its link.
    void stop()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        resume();
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    bool endedCleanly() const
    {
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }

private:
    QProcess process_;
};

RaceSettings settingsFor(const QString &devicePath)
{
    RaceSettings settings;
    applyFactorySettings(settings);
    settings.commPort = devicePath.toStdString();
    return settings;
}

// One poll; the event loop runs until its block arrives, unless the poll
// found a whole block already gathered.
QByteArray pollBlock(SerialLink &link, QSignalSpy &blocks)
{
    const qsizetype before = blocks.count();
    link.poll();
    if (blocks.count() == before && !blocks.wait(3 * SerialLink::kReadTimeoutMs))
        return QByteArray("no block");
    return blocks.last().at(0).toByteArray();
}

bool decodeInto(const QByteArray &block, std::array<ChannelState, kChannelCount> &channels)
{
    std::string receiveBuffer;
    return decodeBlock(std::string_view(block.constData(), block.size()), channels, receiveBuffer)
           == DecodeResult::Ok;
}

} // namespace

class SerialSimulatorTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void factoryLineSettingsReachTheDriverReadOnlyAndExclusive();
    void refusedSettingsReleaseThePortForTheNextStart();
    void blockFromTheSimulatorDecodesIntoAllChannels();
    void pausedSimulatorGivesAShortBlockAfterTheTimeout();
    void purgeDiscardsStaleBytesOfTheDriverQueue();
    void vanishedSimulatorEndsTheReadAndItsSuccessorIsReopenedByName();
    void randomRaceMovesOnlyTheCarsChannels();
    void badScenarioLineStopsTheSimulator();

private:
    QString startSimulator(Simulator &simulator);

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Simulator> simulator_;
    QString device_;
};

QString SerialSimulatorTest::startSimulator(Simulator &simulator)
{
    // Channel 5: tank digit 4 and an off-track mark; channel 32: an empty tank.
    QFile scenario(dir_->filePath("scenario.txt"));
    if (!scenario.exists()) {
        scenario.open(QIODevice::WriteOnly);
        scenario.write("# time channel tank event\n50 5 4 3\n80 32 0 0\n");
        scenario.close();
    }
    return simulator.start({"--scenario", scenario.fileName(), "--link", dir_->filePath("track")});
}

void SerialSimulatorTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    simulator_ = std::make_unique<Simulator>();
    QVERIFY(!startSimulator(*simulator_).isEmpty());
    device_ = dir_->filePath("track");
    // Past the scenario's last crossing.
    QTest::qWait(150);
}

void SerialSimulatorTest::cleanup()
{
    simulator_->stop();
    QVERIFY(simulator_->endedCleanly());
    QVERIFY2(!QFileInfo::exists(device_), "the simulator left its link behind");
    simulator_.reset();
    dir_.reset();
}

void SerialSimulatorTest::factoryLineSettingsReachTheDriverReadOnlyAndExclusive()
{
    auto *port = new SerialPortDevice;
    SerialLink link{std::unique_ptr<SerialDevice>(port)};
    RecordingMessages messages;
    QVERIFY(link.openSerialPort(settingsFor(device_), messages));
    QVERIFY(messages.shown.empty());

    const int fd = static_cast<int>(port->handle());
    termios mode{};
    QCOMPARE(::tcgetattr(fd, &mode), 0);
    QCOMPARE(::cfgetispeed(&mode), speed_t(B57600));
    QCOMPARE(mode.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(mode.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
    QCOMPARE(mode.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR), tcflag_t(0));
    QCOMPARE(::fcntl(fd, F_GETFL) & O_ACCMODE, O_RDONLY);

    SerialPortDevice rival;
    QVERIFY(!rival.open(device_));
}

// We used to leave the port open after the driver refused its settings, so
// the next start command could not open it again.
void SerialSimulatorTest::refusedSettingsReleaseThePortForTheNextStart()
{
    SerialLink link;
    RecordingMessages messages;
    RaceSettings settings = settingsFor(device_);
    settings.stopBits = "ONE5STOPBITS";
    QVERIFY(!link.openSerialPort(settings, messages));
    QCOMPARE(messages.shown.size(), 1u);
    QCOMPARE(messages.shown[0].text, std::string("Nastala chyba při komunikaci se sériovým portem!"));
    QVERIFY(!link.isOpen());

    SerialLink other;
    QVERIFY(other.openSerialPort(settingsFor(device_), messages));
    QCOMPARE(messages.shown.size(), 1u);
}

void SerialSimulatorTest::blockFromTheSimulatorDecodesIntoAllChannels()
{
    SerialLink link;
    RecordingMessages messages;
    QVERIFY(link.openSerialPort(settingsFor(device_), messages));
    QSignalSpy blocks(&link, &SerialLink::blockReceived);
    const QByteArray block = pollBlock(link, blocks);
    QCOMPARE(block.size(), kBlockSize);

    std::array<ChannelState, kChannelCount> channels{};
    QVERIFY(decodeInto(block, channels));
    for (int index = 0; index < kChannelCount; ++index) {
        const ChannelState &channel = channels[index];
        const int channelNumber = index + 1;
        const std::uint32_t timestamp = channelNumber == 5 ? 50 : channelNumber == 32 ? 80 : 1;
        const int tank = channelNumber == 5 ? 4 : channelNumber == 32 ? 0 : 9;
        QCOMPARE(channel.timestamp, timestamp);
        QCOMPARE(channel.tankDigit, tank);
        QCOMPARE(channel.eventDigit, channelNumber == 5 ? 3 : 0);
    }
}

void SerialSimulatorTest::pausedSimulatorGivesAShortBlockAfterTheTimeout()
{
    SerialLink link;
    RecordingMessages messages;
    QVERIFY(link.openSerialPort(settingsFor(device_), messages));
    QSignalSpy blocks(&link, &SerialLink::blockReceived);

    // About 350 bytes arrive, then the line falls silent.
    link.purgePort();
    QThread::msleep(60);
    simulator_->pause();
    QElapsedTimer clock;
    clock.start();
    const QByteArray shortBlock = pollBlock(link, blocks);
    QVERIFY(clock.elapsed() >= SerialLink::kReadTimeoutMs);
    QVERIFY2(shortBlock.size() > 0 && shortBlock.size() < kBlockSize, shortBlock.constData());

    simulator_->resume();
    QCOMPARE(pollBlock(link, blocks).size(), kBlockSize);
}

void SerialSimulatorTest::purgeDiscardsStaleBytesOfTheDriverQueue()
{
    SerialLink link;
    RecordingMessages messages;
    QVERIFY(link.openSerialPort(settingsFor(device_), messages));
    QSignalSpy blocks(&link, &SerialLink::blockReceived);

    // Two blocks' worth wait in the driver queue, unread; then silence.
    QThread::msleep(250);
    simulator_->pause();
    QThread::msleep(50);
    link.purgePort();
    QElapsedTimer clock;
    clock.start();
    const QByteArray block = pollBlock(link, blocks);
    QVERIFY(clock.elapsed() >= SerialLink::kReadTimeoutMs);
    QCOMPARE(block.size(), 0);
}

void SerialSimulatorTest::vanishedSimulatorEndsTheReadAndItsSuccessorIsReopenedByName()
{
    SerialLink link;
    RecordingMessages messages;
    QVERIFY(link.openSerialPort(settingsFor(device_), messages));
    QSignalSpy blocks(&link, &SerialLink::blockReceived);

    simulator_->pause();
    QThread::msleep(50);
    link.purgePort();
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(100, [this] { simulator_->stop(); });
    QVERIFY(pollBlock(link, blocks).size() < kBlockSize);
    QVERIFY(clock.elapsed() < SerialLink::kReadTimeoutMs);
    QVERIFY(!link.isOpen());

    QVERIFY(!startSimulator(*simulator_).isEmpty());
    QVERIFY(link.reopenIfLost());
    const QByteArray block = pollBlock(link, blocks);
    QCOMPARE(block.size(), kBlockSize);
    std::array<ChannelState, kChannelCount> channels{};
    QVERIFY(decodeInto(block, channels));
    QVERIFY(messages.shown.empty());
}

void SerialSimulatorTest::randomRaceMovesOnlyTheCarsChannels()
{
    constexpr int kCars = 3;
    Simulator race;
    const QString link = dir_->filePath("race");
    QVERIFY(!race.start({"--cars", QString::number(kCars), "--start-ms", "0", "--lap-min", "100", "--lap-max",
                         "200", "--link", link})
                 .isEmpty());
    QElapsedTimer raceClock;
    raceClock.start();
    SerialLink serial;
    RecordingMessages messages;
    QVERIFY(serial.openSerialPort(settingsFor(link), messages));
    QSignalSpy blocks(&serial, &SerialLink::blockReceived);

    // Each car crosses at least twice; an off-track lap may take seconds.
    std::array<int, kCars> changes{};
    std::array<ChannelState, kChannelCount> channels{};
    std::array<std::uint32_t, kCars> lastSeen{};
    while (*std::min_element(changes.begin(), changes.end()) < 2 && raceClock.elapsed() < 15000) {
        QTest::qWait(200);
        const QByteArray block = pollBlock(serial, blocks);
        QCOMPARE(block.size(), kBlockSize);
        QVERIFY(decodeInto(block, channels));
        for (int car = 0; car < kCars; ++car) {
            QVERIFY(channels[car].timestamp <= raceClock.elapsed());
            if (channels[car].timestamp > 1 && channels[car].timestamp != lastSeen[car]) {
                QVERIFY(channels[car].timestamp > lastSeen[car]);
                lastSeen[car] = channels[car].timestamp;
                ++changes[car];
            }
        }
    }
    QVERIFY(*std::min_element(changes.begin(), changes.end()) >= 2);
    for (int index = kCars; index < kChannelCount; ++index) {
        QCOMPARE(channels[index].timestamp, 1u);
        QCOMPARE(channels[index].tankDigit, 9);
    }
}

void SerialSimulatorTest::badScenarioLineStopsTheSimulator()
{
    QFile scenario(dir_->filePath("bad.txt"));
    QVERIFY(scenario.open(QIODevice::WriteOnly));
    scenario.write("100 1 9 0\n200 33 9 0\n");
    scenario.close();
    QProcess simulator;
    simulator.start(QStringLiteral(TRACK_SIMULATOR), {"--scenario", scenario.fileName()});
    QVERIFY(simulator.waitForFinished(5000));
    QCOMPARE(simulator.exitCode(), 2);
    QVERIFY(simulator.readAllStandardError().contains("line 2"));
    QVERIFY(simulator.readAllStandardOutput().isEmpty());
}

QTEST_GUILESS_MAIN(SerialSimulatorTest)
#include "serialsimulator_test.moc"
