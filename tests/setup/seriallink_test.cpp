#include "setup/seriallink.h"

#include "engine/hardwareframes.h"
#include "fakes/recordingmessages.h"
#include "setup/serialdevicefake.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <vector>

namespace {

RaceSettings factorySettings()
{
    RaceSettings settings;
    applyFactorySettings(settings);
    return settings;
}

// Bytes of every value, NUL and CR LF included, starting at \a first.
QByteArray garbage(int size, int first = 0)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((first + i * 7) % 256);
    return bytes;
}

struct LinkRig {
    LinkRig() : device(new SerialDeviceFake), link(std::unique_ptr<SerialDevice>(device)) {}

    bool open(const RaceSettings &settings = factorySettings()) { return link.openSerialPort(settings, messages); }
    QByteArray lastBlock() const { return blocks.last().at(0).toByteArray(); }

    SerialDeviceFake *device;
    SerialLink link;
    QSignalSpy blocks{&link, &SerialLink::blockReceived};
    RecordingMessages messages;
};

const Message kCannotOpen{"Chyba", "Komunikační port nelze otevřít!", MessageButtons::Ok, MessageIcon::Warning};
const Message kSettingsRefused{"Chyba", "Nastala chyba při komunikaci se sériovým portem!", MessageButtons::Ok,
                               MessageIcon::Warning};

} // namespace

class SerialLinkTest : public QObject {
    Q_OBJECT
private slots:
    void openAppliesTheLineSettingsToTheNamedDevice();
    void openFailureIsReportedAndNothingIsConfigured();
    void refusedSettingsAreReportedAndThePortClosedForTheNextStart();
    void completeBlockAlreadyGatheredIsDeliveredAtOnceAsTheFreshestBytes();
    void pollWaitsWithoutBlockingUntilTheBlockIsComplete();
    void shortBlockIsDeliveredAfterTheTimeout_data();
    void shortBlockIsDeliveredAfterTheTimeout();
    void pollWhileAReadWaitsDoesNothing();
    void purgeDiscardsGatheredAndQueuedBytes();
    void vanishedDeviceEndsTheWaitingReadAndIsReopenedByName();
    void reopenIfLostIsSilentAndLeavesAWorkingPortAlone();
};

void SerialLinkTest::openAppliesTheLineSettingsToTheNamedDevice()
{
    LinkRig rig;
    RaceSettings settings = factorySettings();
    settings.commPort = "/dev/ttyUSB0";
    settings.parity = "ODDPARITY";
    settings.stopBits = "TWOSTOPBITS";
    settings.dataBits = "7";
    QVERIFY(rig.open(settings));
    QVERIFY(rig.link.isOpen());
    QCOMPARE(rig.device->openedPaths, QStringList{"/dev/ttyUSB0"});
    QCOMPARE(rig.device->appliedSettings.size(), 1u);
    QVERIFY((rig.device->appliedSettings[0] == PortSettings{57600, 7, Parity::Odd, StopBits::Two}));
    QVERIFY(rig.messages.shown.empty());
}

void SerialLinkTest::openFailureIsReportedAndNothingIsConfigured()
{
    LinkRig rig;
    rig.device->openSucceeds = false;
    QVERIFY(!rig.open());
    QVERIFY(!rig.link.isOpen());
    QCOMPARE(rig.device->openedPaths, QStringList{QString::fromStdString(serialDevicePath("COM1"))});
    QVERIFY(rig.device->appliedSettings.empty());
    QCOMPARE(rig.messages.shown.size(), 1u);
    QVERIFY(rig.messages.shown[0] == kCannotOpen);
}

// We used to leave the port open after the driver refused its settings, so
// the next start command could not open it again.
void SerialLinkTest::refusedSettingsAreReportedAndThePortClosedForTheNextStart()
{
    LinkRig rig;
    RaceSettings settings = factorySettings();
    settings.baudRate = "cbr_57600";
    rig.device->settingsAccepted = false;
    QVERIFY(!rig.open(settings));
    QCOMPARE(rig.device->appliedSettings.back().baudRate, 0u);
    QVERIFY(!rig.device->isOpen());
    QCOMPARE(rig.messages.shown.size(), 1u);
    QVERIFY(rig.messages.shown[0] == kSettingsRefused);

    settings.baudRate = "CBR_57600";
    rig.device->settingsAccepted = true;
    QVERIFY(rig.open(settings));
    QVERIFY(rig.device->isOpen());
    QCOMPARE(rig.device->appliedSettings.back().baudRate, 57600u);
    QCOMPARE(rig.messages.shown.size(), 1u);
}

void SerialLinkTest::completeBlockAlreadyGatheredIsDeliveredAtOnceAsTheFreshestBytes()
{
    LinkRig rig;
    QVERIFY(rig.open());
    const QByteArray stream = garbage(5000);
    for (int at = 0; at < stream.size(); at += 700)
        rig.device->feed(stream.mid(at, 700));
    QCOMPARE(rig.blocks.count(), 0);

    rig.link.poll();
    QCOMPARE(rig.blocks.count(), 1);
    QCOMPARE(rig.lastBlock(), stream.right(kBlockSize));
    QCOMPARE(rig.device->clearCount, 1);
    QVERIFY(!rig.link.isReading());

    // The purge left nothing behind: the next poll has to wait for new bytes.
    rig.link.poll();
    QCOMPARE(rig.blocks.count(), 1);
    QVERIFY(rig.link.isReading());
}

void SerialLinkTest::pollWaitsWithoutBlockingUntilTheBlockIsComplete()
{
    LinkRig rig;
    QVERIFY(rig.open());
    const QByteArray stream = garbage(1000, 3);
    rig.device->feed(stream.left(300));
    rig.link.poll();
    QCOMPARE(rig.blocks.count(), 0);
    QVERIFY(rig.link.isReading());

    rig.device->feed(stream.mid(300, 300));
    QCOMPARE(rig.blocks.count(), 0);
    rig.device->feed(stream.mid(600));
    QCOMPARE(rig.blocks.count(), 1);
    QCOMPARE(rig.lastBlock(), stream.right(kBlockSize));
    QVERIFY(!rig.link.isReading());
    QCOMPARE(rig.device->clearCount, 1);
}

void SerialLinkTest::shortBlockIsDeliveredAfterTheTimeout_data()
{
    QTest::addColumn<int>("received");
    QTest::newRow("silent hardware") << 0;
    QTest::newRow("half a block") << 300;
    QTest::newRow("one byte short") << kBlockSize - 1;
}

void SerialLinkTest::shortBlockIsDeliveredAfterTheTimeout()
{
    QFETCH(int, received);
    LinkRig rig;
    QVERIFY(rig.open());
    const QByteArray bytes = garbage(received, 11);
    QElapsedTimer clock;
    clock.start();
    rig.link.poll();
    rig.device->feed(bytes);
    QCOMPARE(rig.blocks.count(), 0);

    QVERIFY(rig.blocks.wait(3 * SerialLink::kReadTimeoutMs));
    QVERIFY(clock.elapsed() >= SerialLink::kReadTimeoutMs);
    QCOMPARE(rig.blocks.count(), 1);
    QCOMPARE(rig.lastBlock(), bytes);
    QCOMPARE(rig.device->clearCount, 1);
}

void SerialLinkTest::pollWhileAReadWaitsDoesNothing()
{
    LinkRig rig;
    QVERIFY(rig.open());
    const QByteArray stream = garbage(kBlockSize, 5);
    rig.device->feed(stream.left(100));
    rig.link.poll();
    rig.link.poll();
    QCOMPARE(rig.device->clearCount, 0);

    rig.device->feed(stream.mid(100));
    QCOMPARE(rig.blocks.count(), 1);
    QCOMPARE(rig.lastBlock(), stream);
    // The second poll started no read of its own that could end later.
    QTest::qWait(SerialLink::kReadTimeoutMs + 200);
    QCOMPARE(rig.blocks.count(), 1);
    QVERIFY(!rig.link.isReading());
}

void SerialLinkTest::purgeDiscardsGatheredAndQueuedBytes()
{
    LinkRig rig;
    QVERIFY(rig.open());
    rig.device->feed(garbage(300, 1));
    rig.device->arriveSilently(garbage(300, 2));
    rig.link.purgePort();
    QCOMPARE(rig.device->waitingBytes(), 0);

    // 400 fresh bytes alone make no block: nothing stale is left to fill it.
    const QByteArray fresh = garbage(400, 9);
    rig.link.poll();
    rig.device->feed(fresh);
    QCOMPARE(rig.blocks.count(), 0);
    QVERIFY(rig.blocks.wait(3 * SerialLink::kReadTimeoutMs));
    QCOMPARE(rig.lastBlock(), fresh);
}

void SerialLinkTest::vanishedDeviceEndsTheWaitingReadAndIsReopenedByName()
{
    LinkRig rig;
    RaceSettings settings = factorySettings();
    settings.commPort = "/tmp/track";
    settings.parity = "EVENPARITY";
    QVERIFY(rig.open(settings));
    const QByteArray partial = garbage(200, 4);
    rig.device->feed(partial);
    rig.link.poll();

    QElapsedTimer clock;
    clock.start();
    rig.device->vanish();
    QCOMPARE(rig.blocks.count(), 1);
    QCOMPARE(rig.lastBlock(), partial);
    QVERIFY(clock.elapsed() < SerialLink::kReadTimeoutMs);
    QVERIFY(!rig.link.isOpen());

    // Gone: a poll has nothing to wait for.
    rig.link.poll();
    QCOMPARE(rig.blocks.count(), 2);
    QVERIFY(rig.lastBlock().isEmpty());

    QVERIFY(rig.link.reopenIfLost());
    QCOMPARE(rig.device->openedPaths, (QStringList{"/tmp/track", "/tmp/track"}));
    QCOMPARE(rig.device->appliedSettings.size(), 2u);
    QVERIFY(rig.device->appliedSettings[1] == rig.device->appliedSettings[0]);
    QVERIFY(rig.device->appliedSettings[1].parity == Parity::Even);

    const QByteArray block = garbage(kBlockSize, 8);
    rig.link.poll();
    rig.device->feed(block);
    QCOMPARE(rig.blocks.count(), 3);
    QCOMPARE(rig.lastBlock(), block);
    QVERIFY(rig.messages.shown.empty());
}

void SerialLinkTest::reopenIfLostIsSilentAndLeavesAWorkingPortAlone()
{
    LinkRig rig;
    QVERIFY(rig.open());
    QVERIFY(rig.link.reopenIfLost());
    QCOMPARE(rig.device->openedPaths.size(), 1);

    rig.device->vanish();
    QCOMPARE(rig.blocks.count(), 0);
    rig.device->openSucceeds = false;
    QVERIFY(!rig.link.reopenIfLost());
    rig.link.poll();
    QCOMPARE(rig.blocks.count(), 1);
    QVERIFY(rig.lastBlock().isEmpty());

    rig.device->openSucceeds = true;
    QVERIFY(rig.link.reopenIfLost());
    QVERIFY(rig.link.isOpen());
    QVERIFY(rig.messages.shown.empty());
}

QTEST_GUILESS_MAIN(SerialLinkTest)
#include "seriallink_test.moc"
