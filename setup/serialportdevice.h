// The platform's serial port behind the SerialDevice seam, through QSerialPort.
#pragma once

#include "setup/serialdevice.h"

class QSerialPort;

class SerialPortDevice : public SerialDevice {
    Q_OBJECT
public:
    using SerialDevice::SerialDevice;

    bool open(const QString &path) override;
    bool applyLineSettings(const PortSettings &settings) override;
    void close() override;
    bool isOpen() const override;
    QByteArray readAll() override;
    void clear() override;

    /// The open port's native handle (a file descriptor on POSIX), or -1.
    qintptr handle() const;

private:
    // A fresh QSerialPort per open, so no setting of an earlier device is
    // applied to the next one while opening it.
    QSerialPort *port_ = nullptr;
    int generation_ = 0;
};
