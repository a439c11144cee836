#include "web/connectionguard.h"

namespace {

constexpr int kSweepPeriodMs = 500;

} // namespace

// The HTTP layer and the WebSocket layer replace the socket's signal
// connections on an upgrade, but every reply and every ping goes through
// writeData, so that is where the time of the last answer is kept.
GuardedSocket::GuardedSocket(const ConnectionLimits &limits, QObject *parent) : QTcpSocket(parent), limits_(limits)
{
    sinceAnswer_.start();
    // Connected before the HTTP layer's own handler, so it sees each
    // arrival first.
    connect(this, &QTcpSocket::readyRead, this, &GuardedSocket::countRequestBytes);
}

void GuardedSocket::setClient(const QHostAddress &address)
{
    // A server listening on every interface sees IPv4 clients as ::ffff:a.b.c.d.
    bool isIPv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIPv4);
    client_ = isIPv4 ? QHostAddress(ipv4) : address;
}

bool GuardedSocket::waitsForClient() const
{
    return !live_ && bytesToWrite() == 0;
}

qint64 GuardedSocket::writeData(const char *data, qint64 size)
{
    unansweredBytes_ = 0;
    sinceAnswer_.start();
    return QTcpSocket::writeData(data, size);
}

void GuardedSocket::countRequestBytes()
{
    unansweredBytes_ += bytesAvailable();
    // Queued: the HTTP layer's handler of this same arrival still runs,
    // and must find the socket open.
    if (unansweredBytes_ > limits_.maxRequestBytes)
        QMetaObject::invokeMethod(this, &QAbstractSocket::abort, Qt::QueuedConnection);
}

GuardedTcpServer::GuardedTcpServer(const ConnectionLimits &limits, QObject *parent)
    : QTcpServer(parent), limits_(limits)
{
    connect(&sweepTimer_, &QTimer::timeout, this, &GuardedTcpServer::sweep);
    sweepTimer_.start(kSweepPeriodMs);
}

void GuardedTcpServer::incomingConnection(qintptr descriptor)
{
    auto *socket = new GuardedSocket(limits_, this);
    const bool opened = socket->setSocketDescriptor(descriptor);
    socket->setClient(socket->peerAddress());
    if (!opened || !makeRoomFor(socket->client())) {
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

bool GuardedTcpServer::makeRoomFor(const QHostAddress &newcomer)
{
    // A connection closed a moment ago is deleted later by the layer that
    // owns it; it holds no place any more.
    sockets_.removeIf([](const QPointer<GuardedSocket> &socket) {
        return !socket || socket->state() == QAbstractSocket::UnconnectedState;
    });
    const auto fromNewcomer = std::count_if(sockets_.cbegin(), sockets_.cend(), [&newcomer](const auto &socket) {
        return socket->client() == newcomer;
    });
    if (fromNewcomer >= limits_.maxConnectionsPerAddress)
        return false;
    if (sockets_.size() < limits_.maxConnections)
        return true;
    GuardedSocket *longestWaiting = nullptr;
    for (const QPointer<GuardedSocket> &socket : std::as_const(sockets_)) {
        if (socket->waitsForClient() && socket->client() != newcomer
            && (!longestWaiting || socket->msSinceAnswer() > longestWaiting->msSinceAnswer()))
            longestWaiting = socket;
    }
    if (!longestWaiting)
        return false;
    longestWaiting->abort();
    sockets_.removeAll(longestWaiting);
    return true;
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
