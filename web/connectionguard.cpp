#include "web/connectionguard.h"

#include <QElapsedTimer>
#include <QTcpSocket>

namespace {

constexpr int kSweepPeriodMs = 500;

} // namespace

// A socket that notes when something was last written to it: the HTTP
// layer and the WebSocket layer replace its signal connections on an
// upgrade, but every reply and every ping goes through writeData.
class GuardedSocket : public QTcpSocket {
public:
    GuardedSocket(const ConnectionLimits &limits, QObject *parent) : QTcpSocket(parent), limits_(limits)
    {
        sinceAnswer_.start();
        // Connected before the HTTP layer's own handler, so it sees each
        // arrival first.
        connect(this, &QTcpSocket::readyRead, this, &GuardedSocket::countRequestBytes);
    }

    bool idleTooLong() const { return sinceAnswer_.hasExpired(limits_.idleTimeoutMs); }

protected:
    qint64 writeData(const char *data, qint64 size) override
    {
        unansweredBytes_ = 0;
        sinceAnswer_.start();
        return QTcpSocket::writeData(data, size);
    }

private:
    void countRequestBytes()
    {
        unansweredBytes_ += bytesAvailable();
        // Queued: the HTTP layer's handler of this same arrival still runs,
        // and must find the socket open.
        if (unansweredBytes_ > limits_.maxRequestBytes)
            QMetaObject::invokeMethod(this, &QAbstractSocket::abort, Qt::QueuedConnection);
    }

    const ConnectionLimits &limits_;
    QElapsedTimer sinceAnswer_;
    qint64 unansweredBytes_ = 0;
};

GuardedTcpServer::GuardedTcpServer(const ConnectionLimits &limits, QObject *parent)
    : QTcpServer(parent), limits_(limits)
{
    connect(&sweepTimer_, &QTimer::timeout, this, &GuardedTcpServer::sweep);
    sweepTimer_.start(kSweepPeriodMs);
}

void GuardedTcpServer::incomingConnection(qintptr descriptor)
{
    sockets_.removeAll(nullptr);
    auto *socket = new GuardedSocket(limits_, this);
    if (!socket->setSocketDescriptor(descriptor) || sockets_.size() >= limits_.maxConnections) {
        // Closing at once tells the client plainly; the descriptor is the
        // socket's, so deleting it closes the connection.
        socket->abort();
        delete socket;
        return;
    }
    // Qt stops reading from the system once this much is buffered, so a
    // request that never ends cannot grow in memory; it is room enough to
    // see the limit passed.
    socket->setReadBufferSize(2 * limits_.maxRequestBytes);
    sockets_.append(socket);
    addPendingConnection(socket);
}

void GuardedTcpServer::sweep()
{
    sockets_.removeAll(nullptr);
    for (const QPointer<GuardedSocket> &socket : std::as_const(sockets_)) {
        if (socket->state() != QAbstractSocket::ConnectedState)
            continue;
        // The layer that owns the socket deletes it once it is disconnected.
        if (socket->idleTooLong() || socket->bytesToWrite() > limits_.maxBacklogBytes)
            socket->abort();
    }
}
