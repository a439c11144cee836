// The live race board's HTTP server: the board page, the race state as JSON
// at /api/race and pushed over a WebSocket at /api/live on every change, and
// the archive of race reports under /races/. It only reads the race; GET and
// HEAD on those paths are all it answers, and its connections are kept in
// bounds by GuardedTcpServer, so no client can change or stall the program.
#pragma once

#include "web/archiveindex.h"
#include "web/archivelisting.h"
#include "web/boardaddress.h"
#include "web/connectionguard.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QTimer>

#include <filesystem>

class QHttpServerRequest;
class QHttpServerResponder;
class QWebSocket;
class LiveBests;
struct Race;
struct RaceSettings;

class BoardServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    explicit BoardServer(std::filesystem::path racesDir, const ConnectionLimits &limits = {},
                         QObject *parent = nullptr);
    ~BoardServer() override;

    /// Starts listening; false with a Czech reason in \a error when the
    /// address cannot be taken (in use, not this computer's).
    bool listen(const BoardAddress &address, QString *error);
    quint16 port() const;

    /// The race the board shows; before it is attached the board is empty.
    void attach(const Race &race, const RaceSettings &settings);
    /// The personal bests and track record the board shows with the race.
    void showBests(const LiveBests &bests);

    int liveClientCount() const { return int(liveClients_.size()); }
    /// Reply bytes the program holds that its clients have not taken yet.
    qint64 unsentReplyBytes() const { return tcpServer_ ? tcpServer_->unsentBytes() : 0; }

public slots:
    /// Something the table shows may have changed: the new state goes to
    /// every live client once control returns to the event loop, so a burst
    /// of changes costs one document.
    void raceMayHaveChanged();

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    QByteArray stateDocument() const;
    void answerWithListing(const QHttpServerRequest &request, QTcpSocket *socket);
    void publish();
    void acceptLiveClients();
    void pingLiveClients();
    void dropLiveClient(QWebSocket *client);

    /// Reports and pages, read on this thread; the listing has its own.
    ArchiveIndex archive_;
    ArchiveListing listing_;
    ConnectionLimits limits_;
    GuardedTcpServer *tcpServer_ = nullptr;
    const Race *race_ = nullptr;
    const RaceSettings *settings_ = nullptr;
    const LiveBests *bests_ = nullptr;
    QByteArray lastPublished_;
    bool publishQueued_ = false;
    /// Each live client with the time it last answered a ping.
    QHash<QWebSocket *, QElapsedTimer> liveClients_;
    QTimer pingTimer_;
};
