// A serial device for tests that misbehaves on request: it fails to open,
// refuses line settings, delivers whatever bytes a test feeds it (short
// blocks, garbage, floods) and vanishes in the middle of a read.
#pragma once

#include "setup/serialdevice.h"

#include <QStringList>

#include <utility>
#include <vector>

class SerialDeviceFake : public SerialDevice {
    Q_OBJECT
public:
    bool open(const QString &path) override
    {
        openedPaths.append(path);
        open_ = openSucceeds;
        return open_;
    }
    bool applyLineSettings(const PortSettings &settings) override
    {
        appliedSettings.push_back(settings);
        return settingsAccepted;
    }
    void close() override
    {
        open_ = false;
        received_.clear();
    }
    bool isOpen() const override { return open_; }
    QByteArray readAll() override { return std::exchange(received_, {}); }
    void clear() override
    {
        ++clearCount;
        received_.clear();
    }

    /// Bytes arriving on the line, announced by readyRead.
    void feed(const QByteArray &bytes)
    {
        arriveSilently(bytes);
        emit readyRead();
    }
    /// Bytes waiting in the driver queue, not announced yet.
    void arriveSilently(const QByteArray &bytes) { received_.append(bytes); }
    /// The device is unplugged.
    void vanish() { emit failed(); }

    bool openSucceeds = true;
    bool settingsAccepted = true;
    QStringList openedPaths;
    std::vector<PortSettings> appliedSettings;
    int clearCount = 0;

private:
    bool open_ = false;
    QByteArray received_;
};
