// The seam between the serial link and the port it reads: open a device
// read-only, give it the line settings, take what it received, discard its
// queues. SerialPortDevice is the real one; tests use a fake that can fail
// to open, refuse settings, deliver short or garbled data and vanish.
#pragma once

#include "setup/portsettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class SerialDevice : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    /// Opens \a path for reading only, not shared with other programs.
    virtual bool open(const QString &path) = 0;
    /// Applies \a settings to the open port; false when the driver refuses any.
    virtual bool applyLineSettings(const PortSettings &settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    /// Every byte received and not yet taken.
    virtual QByteArray readAll() = 0;
    /// Discards both driver queues and anything received but not yet taken.
    virtual void clear() = 0;

signals:
    void readyRead();
    /// The port can no longer be read (unplugged, gone); it should be closed.
    void failed();
};
