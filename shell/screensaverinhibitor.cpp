#include "shell/screensaverinhibitor.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>

#include <unistd.h>

namespace {

const QString kReason = QStringLiteral("Probíhá závod");

} // namespace

ScreenSaverInhibitor::ScreenSaverInhibitor()
{
    QDBusConnection session = QDBusConnection::sessionBus();
    if (session.isConnected()) {
        QDBusInterface screenSaver(QStringLiteral("org.freedesktop.ScreenSaver"),
                                   QStringLiteral("/org/freedesktop/ScreenSaver"),
                                   QStringLiteral("org.freedesktop.ScreenSaver"), session);
        if (screenSaver.isValid()) {
            const QDBusReply<quint32> reply = screenSaver.call(QStringLiteral("Inhibit"), QStringLiteral("tramelo"), kReason);
            if (reply.isValid())
                cookie_ = reply.value();
        }
    }
    QDBusConnection system = QDBusConnection::systemBus();
    if (system.isConnected()) {
        QDBusInterface login(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                             QStringLiteral("org.freedesktop.login1.Manager"), system);
        if (login.isValid()) {
            // The lock is a file descriptor: closing it, or the process ending, releases it.
            const QDBusReply<QDBusUnixFileDescriptor> reply =
                login.call(QStringLiteral("Inhibit"), QStringLiteral("sleep:idle"), QStringLiteral("tramelo"), kReason,
                           QStringLiteral("block"));
            if (reply.isValid() && reply.value().isValid())
                sleepLock_ = ::dup(reply.value().fileDescriptor());
        }
    }
}

ScreenSaverInhibitor::~ScreenSaverInhibitor()
{
    if (cookie_ != 0) {
        QDBusInterface screenSaver(QStringLiteral("org.freedesktop.ScreenSaver"),
                                   QStringLiteral("/org/freedesktop/ScreenSaver"),
                                   QStringLiteral("org.freedesktop.ScreenSaver"), QDBusConnection::sessionBus());
        screenSaver.call(QStringLiteral("UnInhibit"), cookie_);
    }
    if (sleepLock_ >= 0)
        ::close(sleepLock_);
}
