// The serial link to the lap-counting hardware: opens the port with the line
// settings of RaceSettings and delivers one block per poll of timer 6.
//
// The hardware talks without being asked, so the link gathers its bytes as
// they arrive and keeps only the freshest block's worth. A poll takes that
// block at once when it is complete, or waits for it, without blocking the
// event loop, at most 1000 ms; then it purges the port and delivers what it
// has, possibly short or empty, by blockReceived.
#pragma once

#include "config/racesettings.h"
#include "platform/message.h"
#include "setup/portsettings.h"
#include "setup/serialdevice.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class SerialLink : public QObject {
    Q_OBJECT
public:
    /// A link over the platform's serial port.
    explicit SerialLink(QObject *parent = nullptr);
    SerialLink(std::unique_ptr<SerialDevice> device, QObject *parent = nullptr);

    /// Opens and configures the port named in \a settings. A port that cannot
    /// be opened, or that refuses the line settings, is reported through
    /// \a messages and left closed, so a later call can try again.
    bool openSerialPort(const RaceSettings &settings, MessageSink &messages);

    /// One tick of the poll timer: reads a block (readPort), purges the port
    /// and emits blockReceived. Does nothing while the previous read waits.
    void poll();

    /// Discards both driver queues and every byte gathered so far.
    void purgePort();

    /// After the device was lost during the race, opens it again by its
    /// stored name with the same line settings, silently. True when the port
    /// is open afterwards.
    bool reopenIfLost();

    bool isOpen() const;
    /// True while a poll waits for its block.
    bool isReading() const { return reading_; }
    /// The line settings of the last open.
    const PortSettings &portSettings() const { return portSettings_; }

    static constexpr int kReadTimeoutMs = 1000;

signals:
    /// The block of one poll, at most 636 bytes; shorter when the hardware
    /// was silent, slow or lost.
    void blockReceived(const QByteArray &block);
    /// Every byte taken from the port, as it arrives, whether a poll uses it
    /// or not: what the race record keeps of the line.
    void bytesArrived(const QByteArray &bytes);
    /// The port's queues were discarded (a purge, or the port opened again):
    /// the next bytes do not continue the ones before.
    void bytesDiscarded();

private:
    enum class OpenResult { Opened, OpenFailed, SettingsRefused };

    OpenResult openDevice();
    void readPort();
    void gather();
    void finishRead();
    void deviceFailed();

    SerialDevice *device_;
    QTimer readDeadline_;
    QByteArray gathered_;
    QString devicePath_;
    PortSettings portSettings_;
    bool reading_ = false;
    bool lost_ = false;
};
