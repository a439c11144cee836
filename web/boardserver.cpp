#include "web/boardserver.h"

#include "web/boardroutes.h"
#include "web/boardstate.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpSocket>
#include <QWebSocket>

namespace {

using StatusCode = QHttpServerResponder::StatusCode;

// Pings keep a live client within the idle limit of its connection; one
// that has not answered three of them is gone without saying so.
constexpr int kPingsPerIdleTime = 3;
// Board clients send nothing but pongs and a closing frame.
constexpr quint64 kIncomingFrameLimit = 1024;

QByteArray pageResource(const QString &name)
{
    QFile file(QStringLiteral(":/web/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Reply {
    StatusCode status = StatusCode::Ok;
    QByteArray type;
    QByteArray body;
    bool live = false; ///< changes from moment to moment: never cached
};

Reply notFound()
{
    return {StatusCode::NotFound, "text/plain; charset=utf-8", "Nenalezeno.\n"};
}

// HEAD gets the same headers as GET, without the body.
void send(QHttpServerResponder &&responder, const QHttpServerRequest &request, const Reply &reply,
          const QByteArray &allowed = {})
{
    responder.writeStatusLine(reply.status);
    responder.writeHeader("Content-Type", reply.type);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    responder.writeHeader("Cache-Control", reply.live ? "no-store" : "no-cache");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeHeader("Referrer-Policy", "no-referrer");
    if (!allowed.isEmpty())
        responder.writeHeader("Allow", allowed);
    if (request.method() == QHttpServerRequest::Method::Head)
        responder.writeBody("", 0);
    else
        responder.writeBody(reply.body);
}

bool isWebSocketUpgrade(const QHttpServerRequest &request)
{
    return request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0;
}

} // namespace

BoardServer::BoardServer(std::filesystem::path racesDir, const ConnectionLimits &limits, QObject *parent)
    : QAbstractHttpServer(parent), archive_(std::move(racesDir)), limits_(limits)
{
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, &BoardServer::acceptLiveClients);
    connect(&pingTimer_, &QTimer::timeout, this, &BoardServer::pingLiveClients);
    pingTimer_.start(limits_.idleTimeoutMs / kPingsPerIdleTime);
}

BoardServer::~BoardServer()
{
    // Taken out of the table first: a client closing says it is disconnected.
    const QList<QWebSocket *> clients = liveClients_.keys();
    liveClients_.clear();
    qDeleteAll(clients);
}

bool BoardServer::listen(const BoardAddress &address, QString *error)
{
    auto *server = new GuardedTcpServer(limits_, this);
    if (!server->listen(address.host, address.port)) {
        if (error)
            *error = QStringLiteral("Webový server nelze spustit na %1, port %2: %3")
                         .arg(address.host.toString())
                         .arg(address.port)
                         .arg(server->errorString());
        delete server;
        return false;
    }
    tcpServer_ = server;
    bind(server);
    return true;
}

quint16 BoardServer::port() const
{
    return tcpServer_ ? tcpServer_->serverPort() : 0;
}

void BoardServer::attach(const Race &race, const RaceSettings &settings)
{
    race_ = &race;
    settings_ = &settings;
    raceMayHaveChanged();
}

QByteArray BoardServer::stateDocument() const
{
    if (!race_)
        return QByteArrayLiteral("{}");
    return QByteArray::fromStdString(boardStateText(*race_, *settings_));
}

void BoardServer::raceMayHaveChanged()
{
    if (publishQueued_)
        return;
    publishQueued_ = true;
    QMetaObject::invokeMethod(this, &BoardServer::publish, Qt::QueuedConnection);
}

void BoardServer::publish()
{
    publishQueued_ = false;
    const QByteArray document = stateDocument();
    if (document == lastPublished_)
        return;
    lastPublished_ = document;
    const QString message = QString::fromUtf8(document);
    const QList<QWebSocket *> clients = liveClients_.keys();
    for (QWebSocket *client : clients)
        client->sendTextMessage(message);
}

void BoardServer::acceptLiveClients()
{
    while (hasPendingWebSocketConnections()) {
        QWebSocket *client = nextPendingWebSocketConnection().release();
        client->setParent(this);
        client->setMaxAllowedIncomingFrameSize(kIncomingFrameLimit);
        client->setMaxAllowedIncomingMessageSize(kIncomingFrameLimit);
        QElapsedTimer heard;
        heard.start();
        liveClients_.insert(client, heard);
        connect(client, &QWebSocket::disconnected, this, [this, client] { dropLiveClient(client); });
        connect(client, &QWebSocket::pong, this, [this, client] { liveClients_[client].start(); });
        client->sendTextMessage(QString::fromUtf8(lastPublished_.isEmpty() ? stateDocument() : lastPublished_));
    }
}

void BoardServer::pingLiveClients()
{
    const QList<QWebSocket *> clients = liveClients_.keys();
    for (QWebSocket *client : clients) {
        if (liveClients_.value(client).hasExpired(limits_.idleTimeoutMs))
            client->abort();
        else
            client->ping();
    }
}

void BoardServer::dropLiveClient(QWebSocket *client)
{
    if (liveClients_.remove(client))
        client->deleteLater();
}

bool BoardServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    const Route route = routeFor(request.url().path(QUrl::FullyEncoded).toStdString());
    if (isWebSocketUpgrade(request))
        // Accepted here, the HTTP layer hands the socket to the WebSocket
        // layer; refused, it answers 404 and closes.
        return route.resource == Resource::LiveUpdates
            && request.method() == QHttpServerRequest::Method::Get;
    if (route.resource == Resource::NotFound || route.resource == Resource::LiveUpdates)
        return false;
    if (request.method() != QHttpServerRequest::Method::Get && request.method() != QHttpServerRequest::Method::Head) {
        send(makeResponder(request, socket), request,
             {StatusCode::MethodNotAllowed, "text/plain; charset=utf-8", "Jen čtení: GET a HEAD.\n"}, "GET, HEAD");
        return true;
    }

    const auto page = [](const char *name, const QByteArray &type) {
        return Reply{StatusCode::Ok, type, pageResource(QString::fromLatin1(name))};
    };
    Reply reply = notFound();
    switch (route.resource) {
    case Resource::BoardPage: reply = page("index.html", "text/html; charset=utf-8"); break;
    case Resource::BoardScript: reply = page("board.js", "text/javascript; charset=utf-8"); break;
    case Resource::BoardStyle: reply = page("board.css", "text/css; charset=utf-8"); break;
    case Resource::RaceState: reply = {StatusCode::Ok, "application/json", stateDocument(), true}; break;
    case Resource::ArchiveIndex:
        reply = {StatusCode::Ok, "text/html; charset=utf-8",
                 QByteArray::fromStdString(archiveIndexHtml(archive_.races())), true};
        break;
    case Resource::ArchiveReport:
        if (const std::optional<std::string> report = archive_.report(route.raceFolder))
            reply = {StatusCode::Ok, "text/html; charset=utf-8", QByteArray::fromStdString(*report)};
        break;
    case Resource::NightPage:
    case Resource::SeasonPage:
    case Resource::RecordsPage: {
        // Written after each race off the window's thread; serving one is a file read.
        const std::optional<std::string> html = route.resource == Resource::NightPage    ? archive_.newestNightPage()
                                                : route.resource == Resource::SeasonPage ? archive_.newestSeasonPage()
                                                                                         : archive_.recordsPage();
        if (html)
            reply = {StatusCode::Ok, "text/html; charset=utf-8", QByteArray::fromStdString(*html)};
        break;
    }
    case Resource::LiveUpdates:
    case Resource::NotFound: break;
    }
    send(makeResponder(request, socket), request, reply);
    return true;
}

void BoardServer::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    send(makeResponder(request, socket), request, notFound());
}
