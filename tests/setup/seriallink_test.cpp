#include "setup/seriallink.h"

#include "engine/hardwareframes.h"
#include "fakes/recordingmessages.h"
#include "fakes/serialdevicefake.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

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

// Far beyond the read's one second, so that a loaded machine never fails a wait.
constexpr int kPatienceMs = 10 * SerialLink::kReadTimeoutMs;

struct LinkRig {
    LinkRig() : device(new SerialDeviceFake), link(std::unique_ptr<SerialDevice>(device)) {}

    bool open(const RaceSettings &settings = factorySettings()) { return link.openSerialPort(settings, messages); }
    QByteArray lastBlock() const { return blocks.last().at(0).toByteArray(); }

    SerialDeviceFake *device;
    SerialLink link;
    QSignalSpy blocks{&link, &SerialLink::blockReceived};
    RecordingMessages messages;
};

} // namespace

class SerialLinkTest : public QObject {
    Q_OBJECT
private slots:
    // We used to leave the port open after the driver refused its settings, so
    // the next start command could not open it again.
    void refusedSettingsAreReportedAndThePortClosedForTheNextStart_data()
    {
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("text");
        QTest::newRow("port cannot be opened") << false << "Komunikační port nelze otevřít!";
        QTest::newRow("driver refuses the settings") << true << "Nastala chyba při komunikaci se sériovým portem!";
    }
    void refusedSettingsAreReportedAndThePortClosedForTheNextStart()
    {
        QFETCH(bool, opens);
        QFETCH(QString, text);
        LinkRig rig;
        rig.device->openSucceeds = opens;
        rig.device->settingsAccepted = false;
        QVERIFY(!rig.open());
        QCOMPARE(rig.device->openedPaths, QStringList{QString::fromStdString(serialDevicePath("COM1"))});
        QVERIFY(!rig.device->isOpen());
        QCOMPARE(rig.device->appliedSettings.size(), opens ? 1u : 0u);
        QCOMPARE(rig.messages.shown.size(), 1u);
        QVERIFY((rig.messages.shown[0] ==
                 Message{"Chyba", text.toStdString(), MessageButtons::Ok, MessageIcon::Warning}));

        rig.device->openSucceeds = rig.device->settingsAccepted = true;
        QVERIFY(rig.open());
        QVERIFY(rig.link.isOpen());
        QCOMPARE(rig.device->openedPaths.size(), 2);
        QCOMPARE(rig.messages.shown.size(), 1u);
    }

    void completeBlockAlreadyGatheredIsDeliveredAtOnceAsTheFreshestBytes()
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

    // What the race record keeps of the line: every byte read, also those a
    // block leaves out, and each point where the line breaks off.
    void observerSeesEveryByteReadAndEveryBreakInOrder()
    {
        LinkRig rig;
        QString seen;
        QObject::connect(&rig.link, &SerialLink::bytesArrived, [&seen](const QByteArray &bytes) {
            seen += QString::number(bytes.size()) + ' ';
        });
        QObject::connect(&rig.link, &SerialLink::bytesDiscarded, [&seen] { seen += "| "; });
        QByteArray all;
        QObject::connect(&rig.link, &SerialLink::bytesArrived, [&all](const QByteArray &bytes) { all += bytes; });

        QVERIFY(rig.open());
        const QByteArray stream = garbage(1500, 5);
        rig.device->feed(stream.left(700));
        rig.device->feed(stream.mid(700, 0)); // a wake-up with nothing to read
        rig.device->feed(stream.mid(700, 500));
        rig.link.poll();
        rig.device->arriveSilently(stream.mid(1200)); // in the driver queue at the purge
        rig.link.purgePort();
        rig.device->vanish();
        QVERIFY(rig.link.reopenIfLost());

        QCOMPARE(seen, QStringLiteral("| 700 500 | | | "));
        QCOMPARE(all, stream.left(1200));
    }

    void pollWaitsWithoutBlockingUntilTheBlockIsComplete()
    {
        LinkRig rig;
        QVERIFY(rig.open());
        const QByteArray stream = garbage(1000, 3);
        rig.device->feed(stream.left(300));
        rig.link.poll();
        rig.link.poll(); // while the first read waits: does nothing
        QVERIFY(rig.link.isReading());

        rig.device->feed(stream.mid(300, 300));
        QCOMPARE(rig.blocks.count(), 0);
        QCOMPARE(rig.device->clearCount, 0);
        rig.device->feed(stream.mid(600));
        QCOMPARE(rig.blocks.count(), 1);
        QCOMPARE(rig.lastBlock(), stream.right(kBlockSize));
        QVERIFY(!rig.link.isReading());
        QCOMPARE(rig.device->clearCount, 1);

        // The second poll started no read of its own that could end later.
        QTest::qWait(SerialLink::kReadTimeoutMs + 200);
        QCOMPARE(rig.blocks.count(), 1);
    }

    void shortBlockIsDeliveredAfterTheTimeout_data()
    {
        QTest::addColumn<int>("received");
        QTest::addColumn<bool>("purgedFirst");
        QTest::newRow("silent hardware") << 0 << false;
        // Stale bytes, gathered and queued, must not fill up the fresh ones.
        QTest::newRow("half a block after a purge") << 400 << true;
        QTest::newRow("one byte short") << kBlockSize - 1 << false;
    }
    void shortBlockIsDeliveredAfterTheTimeout()
    {
        QFETCH(int, received);
        QFETCH(bool, purgedFirst);
        LinkRig rig;
        QVERIFY(rig.open());
        if (purgedFirst) {
            rig.device->feed(garbage(300, 1));
            rig.device->arriveSilently(garbage(300, 2));
            rig.link.purgePort();
        }
        const QByteArray bytes = garbage(received, 11);
        QElapsedTimer clock;
        clock.start();
        rig.link.poll();
        rig.device->feed(bytes);
        QCOMPARE(rig.blocks.count(), 0);

        QVERIFY(rig.blocks.wait(kPatienceMs));
        // A lower bound only: load can make the read later, never earlier.
        QVERIFY(clock.elapsed() >= SerialLink::kReadTimeoutMs);
        QCOMPARE(rig.blocks.count(), 1);
        QCOMPARE(rig.lastBlock(), bytes);
        QCOMPARE(rig.device->clearCount, purgedFirst ? 2 : 1);
    }

    void vanishedDeviceEndsTheWaitingReadAndIsReopenedByName()
    {
        LinkRig rig;
        RaceSettings settings = factorySettings();
        settings.commPort = "/tmp/track";
        settings.parity = "ODDPARITY";
        settings.stopBits = "TWOSTOPBITS";
        settings.dataBits = "7";
        QVERIFY(rig.open(settings));
        QCOMPARE(rig.device->openedPaths, QStringList{"/tmp/track"});
        QVERIFY((rig.device->appliedSettings.at(0) == PortSettings{57600, 7, Parity::Odd, StopBits::Two}));
        const QByteArray partial = garbage(200, 4);
        rig.device->feed(partial);
        rig.link.poll();

        // The read ends within the vanishing, without waiting for its deadline.
        rig.device->vanish();
        QCOMPARE(rig.blocks.count(), 1);
        QCOMPARE(rig.lastBlock(), partial);
        QVERIFY(!rig.link.isOpen());

        // Gone: a poll has nothing to wait for.
        rig.link.poll();
        QCOMPARE(rig.blocks.count(), 2);
        QVERIFY(rig.lastBlock().isEmpty());

        QVERIFY(rig.link.reopenIfLost());
        QCOMPARE(rig.device->openedPaths, (QStringList{"/tmp/track", "/tmp/track"}));
        QCOMPARE(rig.device->appliedSettings.size(), 2u);
        QVERIFY(rig.device->appliedSettings[1] == rig.device->appliedSettings[0]);

        const QByteArray block = garbage(kBlockSize, 8);
        rig.link.poll();
        rig.device->feed(block);
        QCOMPARE(rig.blocks.count(), 3);
        QCOMPARE(rig.lastBlock(), block);
    }

    void reopenIfLostLeavesAWorkingPortAloneAndRetriesALostOne()
    {
        LinkRig rig;
        QVERIFY(rig.open());
        QVERIFY(rig.link.reopenIfLost());
        QCOMPARE(rig.device->openedPaths.size(), 1);

        rig.device->vanish(); // between reads: no block
        QCOMPARE(rig.blocks.count(), 0);
        rig.device->openSucceeds = false;
        QVERIFY(!rig.link.reopenIfLost());
        // A failed attempt leaves the device lost, so the next one tries again.
        rig.device->openSucceeds = true;
        QVERIFY(rig.link.reopenIfLost());
        QCOMPARE(rig.device->openedPaths.size(), 3);
    }
};

QTEST_GUILESS_MAIN(SerialLinkTest)
#include "seriallink_test.moc"
