// A TCP server that keeps its clients in bounds before any request reaches
// the HTTP layer: at most so many connections at once (more are closed on
// arrival), at most so many bytes of request that have not been answered
// yet, no connection on which nothing was answered for too long (a client
// that never finishes its request, or stays idle), and no client that lets
// more unread reply pile up than allowed. All of it is checked on the event
// loop without waiting, so an offender never holds up the program.
#pragma once

#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

class GuardedSocket;

struct ConnectionLimits {
    int maxConnections = 128;
    /// Request bytes a client may send before it is answered.
    qint64 maxRequestBytes = 8 * 1024;
    /// How long a connection may go without anything written to it.
    int idleTimeoutMs = 10'000;
    /// Reply bytes a client may leave unread.
    qint64 maxBacklogBytes = 1024 * 1024;
};

class GuardedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    explicit GuardedTcpServer(const ConnectionLimits &limits, QObject *parent = nullptr);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void sweep();

    ConnectionLimits limits_;
    QList<QPointer<GuardedSocket>> sockets_;
    QTimer sweepTimer_;
};
