#include "setup/seriallink.h"

#include "engine/hardwareframes.h"
#include "setup/serialportdevice.h"

namespace {

Message portError(const char *text)
{
    return {"Chyba", text, MessageButtons::Ok, MessageIcon::Warning};
}

} // namespace

SerialLink::SerialLink(QObject *parent)
    : SerialLink(std::make_unique<SerialPortDevice>(), parent)
{
}

SerialLink::SerialLink(std::unique_ptr<SerialDevice> device, QObject *parent)
    : QObject(parent), device_(device.release())
{
    device_->setParent(this);
    connect(device_, &SerialDevice::readyRead, this, &SerialLink::gather);
    connect(device_, &SerialDevice::failed, this, &SerialLink::deviceFailed);
    readDeadline_.setSingleShot(true);
    // Never before the full second: a slow line still gets its whole time.
    readDeadline_.setTimerType(Qt::PreciseTimer);
    connect(&readDeadline_, &QTimer::timeout, this, &SerialLink::finishRead);
}

bool SerialLink::openSerialPort(const RaceSettings &settings, MessageSink &messages)
{
    portSettings_ = makePortSettings(settings);
    devicePath_ = QString::fromStdString(serialDevicePath(settings.commPort));
    lost_ = false;
    switch (openDevice()) {
    case OpenResult::Opened:
        return true;
    case OpenResult::OpenFailed:
        messages.showMessage(portError("Komunikační port nelze otevřít!"));
        return false;
    case OpenResult::SettingsRefused:
        messages.showMessage(portError("Nastala chyba při komunikaci se sériovým portem!"));
        return false;
    }
    return false;
}

SerialLink::OpenResult SerialLink::openDevice()
{
    device_->close();
    gathered_.clear();
    if (!device_->open(devicePath_))
        return OpenResult::OpenFailed;
    emit bytesDiscarded();
    // Closed again, so that the next start command can open it once the
    // settings were corrected.
    if (!device_->applyLineSettings(portSettings_)) {
        device_->close();
        return OpenResult::SettingsRefused;
    }
    return OpenResult::Opened;
}

bool SerialLink::reopenIfLost()
{
    if (lost_ && openDevice() == OpenResult::Opened)
        lost_ = false;
    return isOpen();
}

bool SerialLink::isOpen() const
{
    return device_->isOpen();
}

void SerialLink::poll()
{
    if (!reading_)
        readPort();
}

void SerialLink::readPort()
{
    reading_ = true;
    if (!device_->isOpen()) {
        finishRead();
        return;
    }
    readDeadline_.start(kReadTimeoutMs);
    gather();
}

void SerialLink::gather()
{
    const QByteArray arrived = device_->readAll();
    if (!arrived.isEmpty())
        emit bytesArrived(arrived);
    gathered_.append(arrived);
    // Only the freshest block's worth is ever needed.
    if (gathered_.size() > kBlockSize)
        gathered_.remove(0, gathered_.size() - kBlockSize);
    if (reading_ && gathered_.size() >= kBlockSize)
        finishRead();
}

void SerialLink::finishRead()
{
    readDeadline_.stop();
    reading_ = false;
    const QByteArray block = gathered_;
    purgePort();
    emit blockReceived(block);
}

void SerialLink::purgePort()
{
    if (device_->isOpen()) {
        device_->clear();
        emit bytesDiscarded();
    }
    gathered_.clear();
}

void SerialLink::deviceFailed()
{
    lost_ = true;
    device_->close();
    if (reading_)
        finishRead();
}
