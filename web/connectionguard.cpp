#include "web/connectionguard.h"

#include <algorithm>
#include <string_view>

#include <sys/socket.h>

namespace {

constexpr int kSweepPeriodMs = 500;
// How often a held connection is looked at: a streamed body moves on by
// up to kBodyAhead bytes each time, several MB/s, more than a phone takes.
constexpr int kHeldPeriodMs = 5;
constexpr qint64 kBodyChunk = 16 * 1024;
constexpr qint64 kBodyAhead = 4 * kBodyChunk;
// What the HTTP layer skips before a request line.
constexpr std::string_view kLeadingBlanks = " \t\r\n\v";

} // namespace

// The HTTP layer and the WebSocket layer replace the socket's signal
// connections on an upgrade, but every reply and every ping goes through
// writeData, so that is where the time of the last answer is kept.
//
// Holding requests back blocks the socket's signals: the HTTP layer reads
// a request only when the socket says bytes arrived, so it reads none, Qt's
// read buffer fills up to its limit and the system's buffers then hold the
// rest, which slows the client down. The signals that go unheard meanwhile
// are made up for on release: the bytes that wait, or the end of the
// connection, which the HTTP layer needs to delete the socket.
GuardedSocket::GuardedSocket(const ConnectionLimits &limits, QObject *parent) : QTcpSocket(parent), limits_(limits)
{
    sinceAnswer_.start();
    // Connected before the HTTP layer's own handler, so it sees each
    // arrival first.
    connect(this, &QTcpSocket::readyRead, this, &GuardedSocket::arrived);
}

void GuardedSocket::setClient(const QHostAddress &address)
{
    // A server listening on every interface sees IPv4 clients as ::ffff:a.b.c.d.
    bool isIPv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIPv4);
    client_ = isIPv4 ? QHostAddress(ipv4) : address;
}

qint64 GuardedSocket::writeData(const char *data, qint64 size)
{
    unansweredBytes_ = 0;
    sinceAnswer_.start();
    return QTcpSocket::writeData(data, size);
}

void GuardedSocket::arrived()
{
    const qint64 available = bytesAvailable();
    unansweredBytes_ += available;
    // Queued: the HTTP layer's handler of this same arrival still runs,
    // and must find the socket open.
    if (unansweredBytes_ > limits_.maxRequestBytes) {
        QMetaObject::invokeMethod(this, &QAbstractSocket::abort, Qt::QueuedConnection);
        return;
    }
    // The HTTP layer takes every byte of a request that has not ended yet
    // and one request at a time, so what is here now continues the request
    // line or, after an answer, begins the next one.
    if (requestLineDone_)
        return;
    const QByteArray seen = peek(available);
    for (const char c : seen) {
        if (requestLine_.isEmpty() && kLeadingBlanks.find(c) != std::string_view::npos)
            continue;
        if (c == '\n') {
            if (requestLine_.endsWith('\r'))
                requestLine_.chop(1);
            requestLineDone_ = true;
            return;
        }
        requestLine_ += c;
    }
}

void GuardedSocket::awaitReply()
{
    awaitingReply_ = true;
    hold();
}

void GuardedSocket::replyWritten(bool closeAfter)
{
    awaitingReply_ = false;
    requestLine_.clear();
    requestLineDone_ = false;
    closeAfterReply_ = closeAfterReply_ || closeAfter;
    if (closeAfterReply_ || bodyLeft_ > 0 || bytesToWrite() > limits_.maxBacklogBytes)
        hold();
    moveOn();
}

void GuardedSocket::streamBody(BodySource source, qint64 size, bool closeAfter)
{
    body_ = std::move(source);
    bodyLeft_ = size;
    replyWritten(closeAfter);
}

void GuardedSocket::hold()
{
    if (held_)
        return;
    held_ = true;
    blockSignals(true);
    if (onHold_)
        onHold_();
}

void GuardedSocket::release()
{
    held_ = false;
    blockSignals(false);
    if (state() == QAbstractSocket::UnconnectedState)
        emit disconnected();
    else if (bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &QIODevice::readyRead, Qt::QueuedConnection);
}

void GuardedSocket::cutOff()
{
    if (state() == QAbstractSocket::ConnectedState || state() == QAbstractSocket::ClosingState) {
        const linger reset{1, 0};
        ::setsockopt(int(socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    }
    abort();
}

void GuardedSocket::moveOn()
{
    if (!held_)
        return;
    if (state() == QAbstractSocket::UnconnectedState) {
        body_ = nullptr;
        bodyLeft_ = 0;
        awaitingReply_ = false;
        release();
        return;
    }
    if (state() != QAbstractSocket::ConnectedState || awaitingReply_)
        return; // closing: ends once the client has the rest, or by the idle time
    char chunk[kBodyChunk];
    while (bodyLeft_ > 0 && bytesToWrite() < kBodyAhead) {
        const qint64 got = body_(chunk, std::min(kBodyChunk, bodyLeft_));
        if (got <= 0) {
            // The body shrank: the length promised cannot be kept.
            cutOff();
            return;
        }
        write(chunk, got);
        bodyLeft_ -= got;
    }
    if (bodyLeft_ > 0)
        return;
    body_ = nullptr;
    if (closeAfterReply_)
        disconnectFromHost();
    else if (bytesToWrite() <= limits_.maxBacklogBytes)
        release();
}

GuardedTcpServer::GuardedTcpServer(const ConnectionLimits &limits, QObject *parent)
    : QTcpServer(parent), limits_(limits)
{
    connect(&sweepTimer_, &QTimer::timeout, this, &GuardedTcpServer::sweep);
    sweepTimer_.start(kSweepPeriodMs);
    connect(&heldTimer_, &QTimer::timeout, this, &GuardedTcpServer::moveHeldOn);
    heldTimer_.setInterval(kHeldPeriodMs);
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
    socket->onHold([this] { heldTimer_.start(); });
    sockets_.append(socket);
    addPendingConnection(socket);
}

bool GuardedTcpServer::makeRoomFor(const QHostAddress &newcomer)
{
    // A connection closed a moment ago is deleted later by the layer that
    // owns it; it holds no place any more. A held one stays listed until its
    // end is reported.
    sockets_.removeIf([](const QPointer<GuardedSocket> &socket) {
        return !socket || (socket->state() == QAbstractSocket::UnconnectedState && !socket->holdsRequests());
    });
    qsizetype open = 0;
    qsizetype fromNewcomer = 0;
    for (const QPointer<GuardedSocket> &socket : std::as_const(sockets_)) {
        if (socket->state() != QAbstractSocket::UnconnectedState) {
            ++open;
            fromNewcomer += socket->client() == newcomer;
        }
    }
    if (fromNewcomer >= limits_.maxConnectionsPerAddress)
        return false;
    if (open < limits_.maxConnections)
        return true;
    GuardedSocket *longestWaiting = nullptr;
    for (const QPointer<GuardedSocket> &socket : std::as_const(sockets_)) {
        if (socket->state() == QAbstractSocket::ConnectedState && !socket->isLive() && socket->client() != newcomer
            && (!longestWaiting || socket->msSinceAnswer() > longestWaiting->msSinceAnswer()))
            longestWaiting = socket;
    }
    if (!longestWaiting)
        return false;
    longestWaiting->cutOff();
    return true;
}

void GuardedTcpServer::sweep()
{
    sockets_.removeAll(nullptr);
    for (const QPointer<GuardedSocket> &socket : std::as_const(sockets_)) {
        if (socket->state() == QAbstractSocket::UnconnectedState)
            continue;
        // The layer that owns the socket deletes it once it is disconnected
        // (a held one once it is moved on). Only a live WebSocket is closed
        // for its unread backlog: an HTTP client is held back instead.
        if (socket->idleTooLong() || (socket->isLive() && socket->bytesToWrite() > limits_.maxBacklogBytes))
            socket->cutOff();
    }
}

qint64 GuardedTcpServer::unsentBytes() const
{
    qint64 unsent = 0;
    for (const QPointer<GuardedSocket> &socket : sockets_) {
        if (socket)
            unsent += socket->bytesToWrite();
    }
    return unsent;
}

void GuardedTcpServer::moveHeldOn()
{
    bool anyHeld = false;
    // Moving on may delete a socket (its end reported to the HTTP layer).
    const QList<QPointer<GuardedSocket>> sockets = sockets_;
    for (const QPointer<GuardedSocket> &socket : sockets) {
        if (socket && socket->holdsRequests()) {
            socket->moveOn();
            anyHeld = anyHeld || (socket && socket->holdsRequests());
        }
    }
    if (!anyHeld)
        heldTimer_.stop();
}
