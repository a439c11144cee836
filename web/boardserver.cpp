#include "web/boardserver.h"

#include "web/boardroutes.h"
#include "web/boardstate.h"

#include <QFile>
#include <QPointer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpSocket>
#include <QWebSocket>

#include <memory>

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

// Everything a page uses comes from the board itself; no other site may
// frame a page, and a page posts no form and sets no base. A report keeps
// its styles in the page, so it may have them, but no script.
constexpr const char *kPagePolicy =
    "default-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'none'";
constexpr const char *kReportPolicy =
    "default-src 'self'; style-src 'self' 'unsafe-inline'; frame-ancestors 'none'; base-uri 'none'; "
    "form-action 'none'";

struct Reply {
    StatusCode status = StatusCode::Ok;
    QByteArray type;
    QByteArray body;
    bool live = false; ///< changes from moment to moment: never cached
    const char *policy = kPagePolicy;
    /// A body sent as the client reads it, in place of body.
    std::shared_ptr<ReportFile> file = {};
};

Reply notFound()
{
    return {StatusCode::NotFound, "text/plain; charset=utf-8", "Nenalezeno.\n"};
}

struct ConnectionWish {
    bool close = false;     ///< the connection ends with this reply
    bool keepAlive = false; ///< an HTTP/1.0 client asked to keep it
};

// HTTP/1.1 keeps a connection unless the client says "close"; HTTP/1.0
// closes it unless the client says "keep-alive".
ConnectionWish connectionWish(const QHttpServerRequest &request, const GuardedSocket *socket)
{
    bool close = false;
    bool keepAlive = false;
    for (const QByteArray &token : request.value("connection").split(',')) {
        const QByteArray option = token.trimmed().toLower();
        close = close || option == "close";
        keepAlive = keepAlive || option == "keep-alive";
    }
    const bool http10 = socket && socket->requestLine().endsWith(" HTTP/1.0");
    return {close || (http10 && !keepAlive), http10 && keepAlive && !close};
}

// HEAD gets the same headers as GET, without the body.
void send(QHttpServerResponder &&responder, const QHttpServerRequest &request, const Reply &reply,
          const QByteArray &allowed = {})
{
    auto *socket = dynamic_cast<GuardedSocket *>(responder.socket());
    const ConnectionWish wish = connectionWish(request, socket);
    const qint64 length = reply.file ? qint64(reply.file->size()) : reply.body.size();
    responder.writeStatusLine(reply.status);
    responder.writeHeader("Content-Type", reply.type);
    responder.writeHeader("Content-Length", QByteArray::number(length));
    if (wish.close || wish.keepAlive)
        responder.writeHeader("Connection", wish.close ? "close" : "keep-alive");
    responder.writeHeader("Cache-Control", reply.live ? "no-store" : "no-cache");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeHeader("Referrer-Policy", "no-referrer");
    responder.writeHeader("Content-Security-Policy", reply.policy);
    responder.writeHeader("X-Frame-Options", "DENY");
    if (!allowed.isEmpty())
        responder.writeHeader("Allow", allowed);
    if (request.method() == QHttpServerRequest::Method::Head || reply.file)
        responder.writeBody("", 0);
    else
        responder.writeBody(reply.body);
    if (!socket)
        return;
    if (reply.file && request.method() != QHttpServerRequest::Method::Head) {
        socket->streamBody([file = reply.file](char *buffer, qint64 size) { return qint64(file->read(buffer, size)); },
                           length, wish.close);
    } else {
        socket->replyWritten(wish.close);
    }
}

bool isWebSocketUpgrade(const QHttpServerRequest &request)
{
    return request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0;
}

// A browser names the page that opens a WebSocket in Origin; only the
// board's own page, served from the very host and port the request is
// sent to, may read the live state. Clients that are no browser send none.
bool isOwnOrigin(const QHttpServerRequest &request)
{
    const QByteArray origin = request.value("origin");
    if (origin.isEmpty())
        return true;
    const QUrl page(QString::fromLatin1(origin), QUrl::StrictMode);
    const QUrl target(QStringLiteral("http://") + QString::fromLatin1(request.value("host")), QUrl::StrictMode);
    const bool http = page.scheme() == u"http" || page.scheme() == u"https";
    return http && page.isValid() && target.isValid() && !page.host().isEmpty() && page.path().isEmpty()
        && page.host() == target.host() && page.port(page.scheme() == u"https" ? 443 : 80) == target.port(80);
}

} // namespace

BoardServer::BoardServer(std::filesystem::path racesDir, const ConnectionLimits &limits, QObject *parent)
    : QAbstractHttpServer(parent), archive_(racesDir), listing_(racesDir), limits_(limits)
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

void BoardServer::showBests(const LiveBests &bests)
{
    bests_ = &bests;
    raceMayHaveChanged();
}

QByteArray BoardServer::stateDocument() const
{
    if (!race_)
        return QByteArrayLiteral("{}");
    return QByteArray::fromStdString(boardStateText(*race_, *settings_, bests_));
}

void BoardServer::answerWithListing(const QHttpServerRequest &request, QTcpSocket *socket)
{
    // The listing may still be built: until it is answered, no further
    // request of the connection is read, so pipelined replies keep their
    // order. The request stays the HTTP layer's until the connection is
    // moved on, which only its answer or the client's going does.
    auto *guarded = dynamic_cast<GuardedSocket *>(socket);
    if (guarded)
        guarded->awaitReply();
    listing_.whenReady([this, &request, socket = QPointer<QTcpSocket>(socket), guarded](const QByteArray &page) {
        if (!socket || (guarded && !guarded->awaitsReply()))
            return; // the client went meanwhile
        send(makeResponder(request, socket), request, {StatusCode::Ok, "text/html; charset=utf-8", page, true});
    });
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
    // QUrl has read escapes of letters, digits and "-._~" as those
    // characters already; every other escape stays as it came.
    const Route route = routeFor(request.url().path(QUrl::FullyEncoded).toStdString());
    if (isWebSocketUpgrade(request)) {
        // Accepted here, the HTTP layer hands the socket to the WebSocket
        // layer; refused, missingHandler answers (403 for a foreign page,
        // else 404) and the HTTP layer closes.
        const bool accepted = route.resource == Resource::LiveUpdates
                           && request.method() == QHttpServerRequest::Method::Get && isOwnOrigin(request);
        if (auto *guarded = dynamic_cast<GuardedSocket *>(socket); accepted && guarded)
            guarded->setLive();
        return accepted;
    }
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
    case Resource::ArchiveIndex: answerWithListing(request, socket); return true;
    case Resource::ArchiveReport:
        // Sent as the client reads it: a report may be megabytes.
        if (std::optional<ReportFile> report = archive_.openReport(route.raceFolder))
            reply = {StatusCode::Ok, "text/html; charset=utf-8", {}, false, kReportPolicy,
                     std::make_shared<ReportFile>(std::move(*report))};
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
    case Resource::NamedNight:
        if (const std::optional<std::string> html = archive_.namedPage(route.pageName))
            reply = {StatusCode::Ok, "text/html; charset=utf-8", QByteArray::fromStdString(*html)};
        break;
    case Resource::LiveUpdates:
    case Resource::NotFound: break;
    }
    send(makeResponder(request, socket), request, reply);
    return true;
}

void BoardServer::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    if (isWebSocketUpgrade(request) && !isOwnOrigin(request)) {
        send(makeResponder(request, socket), request,
             {StatusCode::Forbidden, "text/plain; charset=utf-8", "Jen pro stránku živých výsledků.\n"});
        return;
    }
    send(makeResponder(request, socket), request, notFound());
}
