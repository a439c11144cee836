// The lap counter's device vanishing in the middle of a race, through the
// serial link and the race engine wired as the main window wires them: the
// poll's block goes to the engine, and restarting the poll timer reopens a
// lost device. The race goes on where it was, or stops reading when the user
// says so; no lap is lost and nothing waits for the vanished device.
#include "setup/seriallink.h"

#include "engine/hardwarerecord.h"
#include "engine/raceengine.h"
#include "fakes/fakeracehost.h"
#include "fakes/serialdevicefake.h"

#include <gtest/gtest.h>

namespace {

constexpr const char *kNoDataQuestion = "Hardware nekomunikuje! Přejete si pokračovat?";

// Restarting the poll timer reopens a lost device first, as the main window does.
class LinkedRaceHost : public FakeRaceHost {
public:
    void startTimer(int id, int periodMs) override
    {
        FakeRaceHost::startTimer(id, periodMs);
        if (id == kPollTimer && link)
            link->reopenIfLost();
    }
    SerialLink *link = nullptr;
};

class VanishingDevice : public ::testing::Test {
protected:
    VanishingDevice()
    {
        applyFactorySettings(settings);
        settings.lapsPerRide = "5";
        host.link = &link;
        QObject::connect(&link, &SerialLink::blockReceived, [this](const QByteArray &block) {
            engine.receiveBlock(std::string_view(block.constData(), static_cast<std::size_t>(block.size())));
        });
        EXPECT_TRUE(link.openSerialPort(settings, host));
        host.startTimer(kPollTimer, 350);

        readBlock(0, 500); // synchronises every channel
        engine.state().startSignalGiven = true;
        engine.enterRaceScreen();
        readBlock(0, 10'000); // the start crossing
        readBlock(0, 15'000); // lap 1 of seat 0
        engine.race().repaintDone();
    }

    /// One poll that reads a full block in which seat \a seat is at \a timestamp.
    void readBlock(int seat, std::uint32_t timestamp)
    {
        reports[static_cast<std::size_t>(seat)].timestamp = timestamp;
        if (timestamp == 500 || timestamp == 10'000) {
            for (ChannelReport &report : reports)
                report.timestamp = timestamp;
        }
        link.poll();
        device->feed(QByteArray::fromStdString(hardwareBlock(reports)));
    }

    /// The device goes while a poll waits for the rest of its block.
    void vanishDuringARead()
    {
        link.poll();
        device->feed(QByteArray::fromStdString(hardwareBlock(reports).substr(0, 200)));
        device->vanish();
    }

    RaceSettings settings;
    LinkedRaceHost host;
    RaceEngine engine{settings, host};
    SerialDeviceFake *device = new SerialDeviceFake;
    SerialLink link{std::unique_ptr<SerialDevice>(device)};
    std::array<ChannelReport, kChannelCount> reports{};
};

} // namespace

TEST_F(VanishingDevice, AnsweringYesReopensTheDeviceAndTheRaceGoesOn)
{
    ASSERT_EQ(engine.race().racers[0].lapsText, "1");
    host.expectMessage(kNoDataQuestion, MessageAnswer::Yes);
    vanishDuringARead();
    EXPECT_EQ(host.messages.size(), 1u) << "one question, at once";
    EXPECT_TRUE(link.isOpen()) << "reopened by name when polling resumed";
    EXPECT_EQ(device->openedPaths.size(), 2);
    EXPECT_EQ(engine.race().racers[0].lapsText, "1");

    readBlock(0, 20'000);
    EXPECT_EQ(engine.race().racers[0].lapsText, "2");
    EXPECT_EQ(engine.race().racers[0].lastLapTimeText, "0:05:000");
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(VanishingDevice, DeviceGoneForGoodAsksOnEveryPollUntilTheUserSaysNo)
{
    device->openSucceeds = false;
    host.expectMessage(kNoDataQuestion, MessageAnswer::Yes);
    vanishDuringARead();
    EXPECT_TRUE(host.timerRunning(kPollTimer));
    EXPECT_FALSE(link.isOpen());

    // Nothing to wait for: the next poll delivers its empty block at once.
    host.expectMessage(kNoDataQuestion, MessageAnswer::No);
    link.poll();
    EXPECT_FALSE(host.timerRunning(kPollTimer)) << "no more reads for the rest of the run";
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(engine.race().racers[0].lapsText, "1") << "the laps counted so far stay";
    EXPECT_EQ(engine.race().racers[0].bestLapTimeText, "0:05:000");
}
