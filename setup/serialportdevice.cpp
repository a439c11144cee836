#include "setup/serialportdevice.h"

#include <QSerialPort>

#include <limits>

namespace {

QSerialPort::Parity toQt(Parity parity)
{
    switch (parity) {
    case Parity::Odd: return QSerialPort::OddParity;
    case Parity::Even: return QSerialPort::EvenParity;
    case Parity::Mark: return QSerialPort::MarkParity;
    case Parity::None: break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQt(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::OneAndHalf: return QSerialPort::OneAndHalfStop;
    case StopBits::Two: return QSerialPort::TwoStop;
    case StopBits::One: break;
    }
    return QSerialPort::OneStop;
}

} // namespace

bool SerialPortDevice::open(const QString &path)
{
    close();
    port_ = new QSerialPort(path, this);
    const int generation = ++generation_;
    connect(port_, &QSerialPort::readyRead, this, &SerialDevice::readyRead);
    // Queued: the port is closed in answer, which must not happen inside the
    // port's own read notification. Errors of an earlier port are stale.
    connect(
        port_, &QSerialPort::errorOccurred, this,
        [this, generation](QSerialPort::SerialPortError error) {
            if (port_ && generation == generation_
                && (error == QSerialPort::ResourceError || error == QSerialPort::ReadError))
                emit failed();
        },
        Qt::QueuedConnection);
    if (!port_->open(QIODevice::ReadOnly)) {
        close();
        return false;
    }
    return true;
}

bool SerialPortDevice::applyLineSettings(const PortSettings &settings)
{
    if (!port_)
        return false;
    // Rate 0 is no rate (on POSIX it even means "hang up"), and counts other
    // than 5 to 8 have no QSerialPort value: the driver would refuse them.
    if (settings.baudRate == 0 || settings.baudRate > std::numeric_limits<qint32>::max())
        return false;
    if (settings.dataBits < 5 || settings.dataBits > 8)
        return false;
#ifndef Q_OS_WIN
    // POSIX terminals have no one and a half stop bits, and QSerialPort would
    // quietly send one instead: refuse it, as a driver without it does.
    if (settings.stopBits == StopBits::OneAndHalf)
        return false;
#endif
    const bool accepted = port_->setBaudRate(static_cast<qint32>(settings.baudRate))
                          && port_->setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits))
                          && port_->setParity(toQt(settings.parity))
                          && port_->setStopBits(toQt(settings.stopBits))
                          && port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!accepted)
        return false;
    // A pseudo-terminal or a three-wire adapter has no modem lines to lower;
    // the line works without them, so their refusal is no error.
    port_->setDataTerminalReady(false);
    port_->setRequestToSend(false);
    port_->clearError();
    return true;
}

void SerialPortDevice::close()
{
    if (!port_)
        return;
    port_->disconnect(this);
    port_->close();
    port_->deleteLater();
    port_ = nullptr;
}

bool SerialPortDevice::isOpen() const
{
    return port_ && port_->isOpen();
}

QByteArray SerialPortDevice::readAll()
{
    return port_ ? port_->readAll() : QByteArray();
}

void SerialPortDevice::clear()
{
    if (port_)
        port_->clear(QSerialPort::AllDirections);
}

qintptr SerialPortDevice::handle() const
{
    return isOpen() ? port_->handle() : -1;
}
