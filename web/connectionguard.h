// A TCP server that keeps its clients in bounds before any request reaches
// the HTTP layer: at most so many connections at once and so many from one
// address, at most so many bytes of request that have not been answered
// yet, no connection on which nothing was answered for too long (a client
// that never finishes its request, or stays idle), and no client that lets
// more unread reply pile up than allowed. When every place is taken, a
// newcomer from an address still under its own share takes the place of the
// connection of another address that has waited longest for its client, so one address cannot
// lock the others out. All of it is checked on the event loop without
// waiting, so an offender never holds up the program.
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

struct ConnectionLimits {
    int maxConnections = 128;
    /// Connections one address may hold: a phone needs a few, and the
    /// others' places stay free.
    int maxConnectionsPerAddress = 16;
    /// Request bytes a client may send before it is answered.
    qint64 maxRequestBytes = 8 * 1024;
    /// How long a connection may go without anything written to it.
    int idleTimeoutMs = 10'000;
    /// Reply bytes a client may leave unread.
    qint64 maxBacklogBytes = 1024 * 1024;
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
    /// Nothing owed to the client: no reply is waiting to go out.
    bool waitsForClient() const;
    qint64 msSinceAnswer() const { return sinceAnswer_.elapsed(); }

protected:
    qint64 writeData(const char *data, qint64 size) override;

private:
    void countRequestBytes();

    const ConnectionLimits &limits_;
    QHostAddress client_;
    QElapsedTimer sinceAnswer_;
    qint64 unansweredBytes_ = 0;
    bool live_ = false;
};

class GuardedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    explicit GuardedTcpServer(const ConnectionLimits &limits, QObject *parent = nullptr);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void sweep();
    /// Whether \a newcomer may have a place, making one when every place is
    /// taken by closing the connection of another address that has waited
    /// longest for its client.
    bool makeRoomFor(const QHostAddress &newcomer);

    ConnectionLimits limits_;
    QList<QPointer<GuardedSocket>> sockets_;
    QTimer sweepTimer_;
};
