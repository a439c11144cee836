// A TCP server that keeps its clients in bounds before any request reaches
// the HTTP layer: at most so many connections at once and so many from one
// address, at most so many bytes of request that have not been answered
// yet, no connection on which nothing was answered for too long (a client
// that never finishes its request, or stays idle). A client that leaves
// replies unread gets no further request read until it has read them (its
// requests wait in the system's buffers, not in the program), and a large
// body goes out a piece at a time as the client takes it; a live WebSocket,
// which cannot be held back so, is closed instead. When every place is
// taken, a newcomer from an address still under its own share takes the
// place of the connection of another address that has gone longest without
// anything sent to it (idle, or its client reading nothing), never a live
// WebSocket's, so no address can lock the others out. All of it is checked
// on the event loop without waiting, so an offender never holds up the
// program.
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

struct ConnectionLimits {
    int maxConnections = 128;
    /// Connections one address may hold: a phone needs a few, and the
    /// others' places stay free.
    int maxConnectionsPerAddress = 16;
    /// Request bytes a client may send before it is answered.
    qint64 maxRequestBytes = 8 * 1024;
    /// How long a connection may go without anything written to it.
    int idleTimeoutMs = 10'000;
    /// Reply bytes a client may leave unread: past it no further request is
    /// read, a streamed body waits, and a live WebSocket is closed.
    qint64 maxBacklogBytes = 64 * 1024;
};

/// A client's connection as the guard sees it: when something was last
/// written to it, and whether it became a live WebSocket.
class GuardedSocket : public QTcpSocket {
public:
    GuardedSocket(const ConnectionLimits &limits, QObject *parent);

    /// The client's address, an IPv4 address mapped into IPv6 as IPv4.
    const QHostAddress &client() const { return client_; }
    void setClient(const QHostAddress &address);

    /// Marks the connection as a live WebSocket, which is never displaced.
    void setLive() { live_ = true; }
    bool isLive() const { return live_; }

    bool idleTooLong() const { return sinceAnswer_.hasExpired(limits_.idleTimeoutMs); }
    /// How long the connection has gone without anything written to it:
    /// the longest is the one that waits longest for its client, to send a
    /// request or to read its replies.
    qint64 msSinceAnswer() const { return sinceAnswer_.elapsed(); }

    /// The first line of the request being answered, as the client sent it
    /// ("GET / HTTP/1.0"); the HTTP layer keeps the protocol version to itself.
    const QByteArray &requestLine() const { return requestLine_; }

    /// Fills \a buffer with up to \a size bytes; fewer than asked (or
    /// below 0) only when the body cannot be read further.
    using BodySource = std::function<qint64(char *buffer, qint64 size)>;

    /// A whole reply has been written; with \a closeAfter the connection
    /// ends once the client has it, and no further request is read.
    void replyWritten(bool closeAfter);
    /// The head of a reply has been written; its \a size body bytes follow
    /// from \a source as the client reads them, and no further request is
    /// read meanwhile.
    void streamBody(BodySource source, qint64 size, bool closeAfter);

    /// The reply to the request being answered comes later (it is being
    /// prepared elsewhere): no further request is read until it is written.
    void awaitReply();
    /// Whether a reply is awaited and the connection still waits for it;
    /// false once the client has gone and the connection was moved on.
    bool awaitsReply() const { return awaitingReply_; }

    /// Whether further requests wait until the client has read its replies.
    bool holdsRequests() const { return held_; }
    /// Ends the connection at once with a reset, dropping what the system
    /// still holds for the client: closed the polite way, a connection whose
    /// client reads nothing would keep that in the system for minutes.
    void cutOff();

    /// Moves a held connection on: more of its body, once the client took
    /// enough, and reading again once nothing more is owed.
    void moveOn();
    /// Called when a connection starts holding requests.
    void onHold(std::function<void()> callback) { onHold_ = std::move(callback); }

protected:
    qint64 writeData(const char *data, qint64 size) override;

private:
    void arrived();
    void hold();
    void release();

    const ConnectionLimits &limits_;
    QHostAddress client_;
    QElapsedTimer sinceAnswer_;
    qint64 unansweredBytes_ = 0;
    bool live_ = false;
    QByteArray requestLine_;
    bool requestLineDone_ = false;
    bool held_ = false;
    bool awaitingReply_ = false;
    bool closeAfterReply_ = false;
    BodySource body_;
    qint64 bodyLeft_ = 0;
    std::function<void()> onHold_;
};

class GuardedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    explicit GuardedTcpServer(const ConnectionLimits &limits, QObject *parent = nullptr);

    /// Reply bytes written for the clients that they have not taken yet.
    qint64 unsentBytes() const;

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void sweep();
    void moveHeldOn();
    /// Whether \a newcomer may have a place, making one when every place is
    /// taken by closing the connection of another address that has waited
    /// longest for its client.
    bool makeRoomFor(const QHostAddress &newcomer);

    ConnectionLimits limits_;
    QList<QPointer<GuardedSocket>> sockets_;
    QTimer sweepTimer_;
    QTimer heldTimer_;
};
