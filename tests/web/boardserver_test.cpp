// The board server over real loopback sockets, fed by a scripted race: the
// JSON equals the table's cells, the live WebSocket gets every change, the
// server refuses what it must (methods, paths, a table of traversal URLs
// sent raw so no client tidies them first), and its connection limits hold.
#include "engine/racescript.h"
#include "web/boardserver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWebSocket>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {

struct Response {
    int status = 0; ///< 0: the server closed without answering
    QMap<QByteArray, QByteArray> headers;
    QByteArray body;
};

Response parseResponse(const QByteArray &raw)
{
    Response response;
    const qsizetype headEnd = raw.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return response;
    const QList<QByteArray> lines = raw.left(headEnd).split('\n');
    response.status = lines.value(0).split(' ').value(1).toInt();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        response.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    response.body = raw.mid(headEnd + 4);
    return response;
}

bool complete(const QByteArray &raw, bool head)
{
    const Response response = parseResponse(raw);
    return response.status != 0
        && (head || response.body.size() >= response.headers.value("content-length").toLongLong());
}

/// Sends \a request as it is and waits, with the event loop turning (the
/// server lives on this thread), for the whole answer or the connection's end.
Response exchange(quint16 port, const QByteArray &request, const QHostAddress &from = {})
{
    QTcpSocket socket;
    if (!from.isNull())
        socket.bind(from);
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(request);
    QByteArray raw;
    const bool head = request.startsWith("HEAD ");
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired() && !complete(raw, head)) {
        QTest::qWait(5);
        raw += socket.readAll();
        if (socket.state() == QAbstractSocket::UnconnectedState)
            break;
    }
    return parseResponse(raw);
}

Response get(quint16 port, const QByteArray &path, const QByteArray &method = "GET")
{
    return exchange(port, method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
}

/// A connection from the loopback address \a from (127.0.0.2 and the like
/// are this computer too), connected or refused.
std::unique_ptr<QTcpSocket> connectFrom(const QHostAddress &from, quint16 port)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->bind(from);
    socket->connectToHost(QHostAddress::LocalHost, port);
    socket->waitForConnected(2000);
    return socket;
}

/// A WebSocket client of /api/live from a chosen address (QWebSocket
/// cannot bind one), answering pings; counts the state documents pushed.
struct LiveClientFrom {
    std::unique_ptr<QTcpSocket> socket;
    QByteArray buffer;
    QList<QJsonObject> states;

    bool open(const QHostAddress &from, quint16 port, const QByteArray &origin = {})
    {
        socket = connectFrom(from, port);
        socket->write("GET /api/live HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port)
                      + "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                        "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                      + (origin.isEmpty() ? QByteArray() : "Origin: " + origin + "\r\n") + "\r\n");
        QDeadlineTimer deadline(3000);
        while (!buffer.contains("\r\n\r\n") && !deadline.hasExpired()
               && socket->state() == QAbstractSocket::ConnectedState) {
            QTest::qWait(5);
            buffer += socket->readAll();
        }
        const bool upgraded = buffer.startsWith("HTTP/1.1 101");
        buffer = buffer.mid(buffer.indexOf("\r\n\r\n") + 4);
        return upgraded;
    }

    /// Reads what came: state documents are kept, pings answered.
    void pump()
    {
        buffer += socket->readAll();
        while (buffer.size() >= 2) {
            const int opcode = buffer[0] & 0x0f;
            qint64 length = buffer[1] & 0x7f;
            int at = 2;
            if (length == 126 && buffer.size() >= 4) {
                length = (quint8(buffer[2]) << 8) | quint8(buffer[3]);
                at = 4;
            } else if (length >= 126) {
                return; // the board's documents are smaller than 64 KiB
            }
            if (buffer.size() < at + length)
                return;
            const QByteArray payload = buffer.mid(at, length);
            buffer.remove(0, at + length);
            if (opcode == 0x1)
                states.append(QJsonDocument::fromJson(payload).object());
            else if (opcode == 0x9) // a pong, masked with zeros as a client must mask
                socket->write(QByteArray("\x8a", 1) + char(0x80 | payload.size()) + QByteArray(4, '\0') + payload);
        }
    }
};

RaceSettings threeRacers()
{
    RaceSettings settings = RaceScript::twoRacers("5");
    settings.racerName[2] = "Cyril";
    return settings;
}

} // namespace

class BoardServerTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        script_ = std::make_unique<RaceScript>(threeRacers());
        server_ = std::make_unique<BoardServer>(std::filesystem::path(archive_.path().toStdString()));
        QString error;
        QVERIFY2(server_->listen({QHostAddress(QHostAddress::LocalHost), 0}, &error), qPrintable(error));
        server_->attach(script_->engine.race(), script_->settings);
    }
    void cleanup()
    {
        server_.reset();
        script_.reset();
    }

    void raceStateEqualsTheTableCells()
    {
        RaceScript &race = *script_;
        race.startRace(10'000);
        for (const auto &[seat, at] : {std::pair{2, 14'100}, {0, 14'500}, {1, 15'200}, {2, 17'900}, {0, 19'300}})
            race.cross(seat, std::uint32_t(at));
        race.paint();

        const Response response = get(server_->port(), "/api/race");
        QCOMPARE(response.status, 200);
        QCOMPARE(response.headers.value("content-type"), QByteArray("application/json"));
        QCOMPARE(response.headers.value("cache-control"), QByteArray("no-store"));
        const QJsonObject state = QJsonDocument::fromJson(response.body).object();
        QCOMPARE(state.value("phase").toString(), QStringLiteral("race"));
        QCOMPARE(state.value("lapsPerRide").toString(), QStringLiteral("5"));
        const QJsonArray racers = state.value("racers").toArray();
        QCOMPARE(racers.size(), 3);
        // Cyril leads with two laps, Adam second, Bára third.
        const int order[] = {2, 0, 1};
        for (int row = 0; row < 3; ++row) {
            const QJsonObject entry = racers[row].toObject();
            const RacerState &cells = race.racer(order[row]);
            QCOMPARE(entry.value("seat").toInt(), order[row] + 1);
            QCOMPARE(entry.value("position").toString(), QString::number(row + 1));
            QCOMPARE(entry.value("position").toString().toStdString(), cells.rankText);
            QCOMPARE(entry.value("name").toString().toStdString(), cells.nameText);
            QCOMPARE(entry.value("laps").toString().toStdString(), cells.lapsText);
            QCOMPARE(entry.value("lastLap").toString().toStdString(), cells.lastLapTimeText);
            QCOMPARE(entry.value("bestLap").toString().toStdString(), cells.bestLapTimeText);
            QCOMPARE(entry.value("gap").toString().toStdString(), cells.gapText);
        }
        QCOMPARE(racers[0].toObject().value("laps").toString(), QStringLiteral("2"));
        QCOMPARE(racers[0].toObject().value("lastLap").toString(), QStringLiteral("0:03:800"));
        QCOMPARE(state.value("fastestLap").toObject().value("name").toString(), QStringLiteral("Cyril"));

        // HEAD: the same headers, no body.
        const Response head = get(server_->port(), "/api/race", "HEAD");
        QCOMPARE(head.status, 200);
        QCOMPARE(head.headers.value("content-length"), response.headers.value("content-length"));
        QVERIFY(head.body.isEmpty());
    }

    void liveClientsGetEveryChange()
    {
        QWebSocket client;
        QList<QJsonObject> received;
        connect(&client, &QWebSocket::textMessageReceived, this,
                [&received](const QString &text) { received.append(QJsonDocument::fromJson(text.toUtf8()).object()); });
        client.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(server_->port())));
        QTRY_COMPARE(received.size(), 1);
        QCOMPARE(received[0].value("phase").toString(), QStringLiteral("before"));

        script_->startRace(10'000);
        server_->raceMayHaveChanged();
        QTRY_COMPARE(received.size(), 2);
        script_->cross(1, 14'000);
        // A burst of change notices costs one document.
        for (int i = 0; i < 5; ++i)
            server_->raceMayHaveChanged();
        QTRY_COMPARE(received.size(), 3);
        const QJsonObject leader = received[2].value("racers").toArray()[0].toObject();
        QCOMPARE(leader.value("name").toString(), QStringLiteral("Bára"));
        QCOMPARE(leader.value("laps").toString(), QStringLiteral("1"));
        // Nothing changed: nothing is sent.
        server_->raceMayHaveChanged();
        QTest::qWait(100);
        QCOMPARE(received.size(), 3);
        QCOMPARE(server_->liveClientCount(), 1);
        client.close();
        QTRY_COMPARE(server_->liveClientCount(), 0);
    }

    void refusedMethodsAndPaths_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        const QByteArray host = " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
        for (const char *method : {"POST", "PUT", "DELETE", "PATCH", "OPTIONS"})
            QTest::addRow("%s /api/race", method)
                << QByteArray(method) + " /api/race" + host + "Content-Length: 2\r\n\r\n{}" << 405;
        QTest::addRow("GET /api/live without upgrade") << "GET /api/live" + host + "\r\n" << 404;
        QTest::addRow("upgrade on another path")
            << "GET /api/race" + host + "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                                        "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n"
            << 404;
        // Traversal: every one of these must be refused, sent byte for byte.
        for (const char *path : {"/../../../../etc/passwd", "/races/../../../etc/passwd",
                                 "/races/%2e%2e/%2e%2e/etc/passwd", "/races/%2E%2E%2F%2E%2E%2Fetc%2Fpasswd",
                                 "/races/2026-12-07_19-30-05%2f..%2f..%2fsecret.html",
                                 "/races/2026-12-07_19-30-05/..%2f..%2foutside%2fsecret.html",
                                 "/races/..%5c..%5csecret.html", "/races/2026-12-07_19-30-05\\..\\..\\secret.html",
                                 "/races/2026-12-07_19-30-05%00/report.html", "/races/2026-12-07_19-45-00/report.html",
                                 "/races/2026-12-07_19-30-05/journal.jsonl", "/races/2026-12-07_19-30-05/",
                                 "//etc/passwd", "/./board.js", "/%2e/api/race", "/index.html",
                                 "http://127.0.0.1/../etc/passwd"})
            QTest::addRow("GET %s", path) << "GET " + QByteArray(path) + host + "\r\n" << 404;
        // A symbolic link out of the archive, named as a real race's report.
        QTest::addRow("link out of the archive") << "GET /races/2026-12-07_20-00-00/report.html" + host + "\r\n"
                                                 << 404;
    }

    void refusedMethodsAndPaths()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        makeArchive();
        const Response response = exchange(server_->port(), request);
        QCOMPARE(response.status, status);
        QVERIFY(!response.body.contains("secret"));
        if (status == 405)
            QCOMPARE(response.headers.value("allow"), QByteArray("GET, HEAD"));
        // The refusal changed nothing: the page is still served.
        QCOMPARE(get(server_->port(), "/").status, 200);
    }

    void archiveServesReportsAsTheyAre()
    {
        makeArchive();
        namespace fs = std::filesystem;
        const fs::path huge = fs::path(archive_.path().toStdString()) / "2026-12-07_22-00-00";
        fs::create_directories(huge);
        std::ofstream(huge / "report.html") << "x";
        fs::resize_file(huge / "report.html", kReportSizeLimit + 1);
        const Response index = get(server_->port(), "/races/");
        QCOMPARE(index.status, 200);
        QVERIFY(index.body.contains("/races/2026-12-07_19-30-05/report.html"));
        const Response report = get(server_->port(), "/races/2026-12-07_19-30-05/report.html");
        QCOMPARE(report.status, 200);
        QCOMPARE(report.body, QByteArray("<html>report \xc4\x8d</html>"));
        QCOMPARE(report.headers.value("content-length"), QByteArray::number(report.body.size()));
        // A digit or letter written as an escape is the same character in a
        // URL; any other escape matches nothing.
        QCOMPARE(get(server_->port(), "/races/2026-12-07_19-30-0%35/report.html").body, report.body);
        QCOMPARE(get(server_->port(), "/races/2026-12-07_19-30-05/repor%74.html").body, report.body);
        QCOMPARE(get(server_->port(), "/races/2026-12-07_19-30-05%2freport.html").status, 404);

        // A report over the limit is listed as too large, with no link that
        // would lead nowhere.
        const QByteArray listing = index.body;
        QVERIFY(!listing.contains("2026-12-07_22-00-00/report.html"));
        QVERIFY(listing.contains("příliš velká (17 MiB, nejvýše 16 MiB)"));
        QCOMPARE(get(server_->port(), "/races/2026-12-07_22-00-00/report.html").status, 404);
        const QByteArray headOfHuge = "HEAD /races/2026-12-07_22-00-00/report.html HTTP/1.1\r\n\r\n";
        QCOMPARE(exchange(server_->port(), headOfHuge).status, 404);
    }

    // The listing is built on a thread of its own: requests wait for it
    // without holding up the others, two clients at once get the same page,
    // replies pipelined on one connection keep their order (the listing
    // asked for with HEAD and with "close" among them), a client that goes
    // meanwhile costs nothing, and a listing older than a second is built anew.
    void archiveListingIsBuiltAsideAndAnsweredInOrder()
    {
        makeArchive();
        const QByteArray listing = "GET /races/ HTTP/1.1\r\nHost: a\r\n\r\n";
        const QByteArray state = "GET /api/race HTTP/1.1\r\nHost: a\r\n\r\n";
        QTcpSocket gone;
        gone.connectToHost(QHostAddress::LocalHost, server_->port());
        QVERIFY(gone.waitForConnected(2000));
        gone.write(listing);
        QVERIFY(gone.waitForBytesWritten(2000));
        gone.abort();
        QTcpSocket pipelining;
        QTcpSocket other;
        for (QTcpSocket *socket : {&pipelining, &other}) {
            socket->connectToHost(QHostAddress::LocalHost, server_->port());
            QVERIFY(socket->waitForConnected(2000));
        }
        pipelining.write(listing + state + "HEAD /races/ HTTP/1.1\r\nHost: a\r\n\r\n" + state
                         + "GET /races/ HTTP/1.1\r\nConnection: close\r\n\r\n" + state);
        other.write(listing);
        QByteArray raw;
        QByteArray otherRaw;
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired()
               && (pipelining.state() == QAbstractSocket::ConnectedState || !complete(otherRaw, false))) {
            QTest::qWait(5);
            raw += pipelining.readAll();
            otherRaw += other.readAll();
        }
        raw += pipelining.readAll();
        QCOMPARE(pipelining.state(), QAbstractSocket::UnconnectedState);
        QList<QByteArray> types;
        QList<QByteArray> pages;
        for (qsizetype at = raw.indexOf("HTTP/1.1 "); at >= 0; at = raw.indexOf("HTTP/1.1 ", at + 1)) {
            const Response reply = parseResponse(raw.mid(at));
            QCOMPARE(reply.status, 200);
            types.append(reply.headers.value("content-type"));
            if (reply.headers.value("content-type").startsWith("text/html") && !reply.body.startsWith("HTTP/1.1 "))
                pages.append(reply.body.left(reply.headers.value("content-length").toInt()));
        }
        const QByteArray html = "text/html; charset=utf-8";
        QCOMPARE(types, (QList<QByteArray>{html, "application/json", html, "application/json", html}));
        const Response answer = parseResponse(otherRaw);
        QCOMPARE(answer.status, 200);
        QVERIFY(answer.body.contains("/races/2026-12-07_19-30-05/report.html"));
        QCOMPARE(pages, (QList<QByteArray>{answer.body, answer.body}));

        namespace fs = std::filesystem;
        const fs::path newer = fs::path(archive_.path().toStdString()) / "2026-12-08_19-00-00";
        fs::create_directories(newer);
        std::ofstream(newer / "report.html") << "<html>newer</html>";
        QTest::qWait(1100);
        QVERIFY(get(server_->port(), "/races/").body.contains("/races/2026-12-08_19-00-00/report.html"));
    }

    void liveStateOnlyForTheBoardsOwnPage_data()
    {
        QTest::addColumn<QByteArray>("host"); // PORT: the server's port
        QTest::addColumn<QByteArray>("origin");
        QTest::addColumn<int>("status");
        QTest::newRow("no origin: not a browser") << QByteArray("127.0.0.1:PORT") << QByteArray() << 101;
        QTest::newRow("the board's page") << QByteArray("127.0.0.1:PORT") << QByteArray("http://127.0.0.1:PORT") << 101;
        QTest::newRow("a local name") << QByteArray("Tramelo.local:PORT") << QByteArray("http://tramelo.local:PORT")
                                      << 101;
        QTest::newRow("IPv6") << QByteArray("[::1]:PORT") << QByteArray("http://[::1]:PORT") << 101;
        QTest::newRow("port 80 written or not") << QByteArray("10.0.0.5") << QByteArray("http://10.0.0.5:80") << 101;
        QTest::newRow("another site") << QByteArray("127.0.0.1:PORT") << QByteArray("https://evil.example") << 403;
        QTest::newRow("another port") << QByteArray("127.0.0.1:PORT") << QByteArray("http://127.0.0.1:1") << 403;
        QTest::newRow("same host, no port") << QByteArray("127.0.0.1:PORT") << QByteArray("http://127.0.0.1") << 403;
        QTest::newRow("a file or sandbox") << QByteArray("127.0.0.1:PORT") << QByteArray("null") << 403;
        QTest::newRow("origin without host") << QByteArray() << QByteArray("http://127.0.0.1:PORT") << 403;
        QTest::newRow("host with a path") << QByteArray("127.0.0.1:PORT") << QByteArray("http://127.0.0.1:PORT/x")
                                          << 403;
    }

    void liveStateOnlyForTheBoardsOwnPage()
    {
        QFETCH(QByteArray, host);
        QFETCH(QByteArray, origin);
        QFETCH(int, status);
        const QByteArray port = QByteArray::number(server_->port());
        QByteArray request = "GET /api/live HTTP/1.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                             "Sec-WebSocket-Version: 13\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n";
        if (!host.isEmpty())
            request += "Host: " + host.replace("PORT", port) + "\r\n";
        if (!origin.isEmpty())
            request += "Origin: " + origin.replace("PORT", port) + "\r\n";
        QCOMPARE(exchange(server_->port(), request + "\r\n").status, status);

        // Every page, the live one included, forbids framing and foreign content.
        makeArchive();
        for (const char *path : {"/", "/races/", "/races/2026-12-07_19-30-05/report.html", "/api/race", "/nowhere"}) {
            const Response page = get(server_->port(), path);
            const QByteArray policy = page.headers.value("content-security-policy");
            QVERIFY2(policy.startsWith("default-src 'self';") && policy.contains("frame-ancestors 'none'"), path);
            QVERIFY2(!policy.contains("script-src"), path);
            QCOMPARE(page.headers.value("x-frame-options"), QByteArray("DENY"));
        }
    }

    void connectionEndsWhenTheClientAsks_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("replies");
        QTest::addColumn<bool>("closed");
        const QByteArray race = "GET /api/race ";
        QTest::newRow("HTTP/1.0") << race + "HTTP/1.0\r\n\r\n" << 1 << true;
        QTest::newRow("HTTP/1.0, keep-alive") << race + "HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n" << 1 << false;
        QTest::newRow("HTTP/1.1, close") << race + "HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n" << 1 << true;
        QTest::newRow("HTTP/1.1, close among others")
            << race + "HTTP/1.1\r\nConnection: TE,  CLOSE\r\n\r\n" << 1 << true;
        QTest::newRow("HTTP/1.1") << race + "HTTP/1.1\r\nHost: a\r\n\r\n" << 1 << false;
        QTest::newRow("refused method, close")
            << QByteArray("DELETE /api/race HTTP/1.1\r\nConnection: close\r\n\r\n") << 1 << true;
        QTest::newRow("not found, HTTP/1.0") << QByteArray("GET /nowhere HTTP/1.0\r\n\r\n") << 1 << true;
        // Nothing after the closing request is read.
        QTest::newRow("pipelined after close")
            << race + "HTTP/1.1\r\nConnection: close\r\n\r\n" + race + "HTTP/1.1\r\n\r\n" << 1 << true;
        QTest::newRow("pipelined, 1.1 then 1.0")
            << "\r\n" + race + "HTTP/1.1\r\n\r\n" + race + "HTTP/1.0\r\n\r\n" + race + "HTTP/1.1\r\n\r\n" << 2 << true;
    }

    void connectionEndsWhenTheClientAsks()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, replies);
        QFETCH(bool, closed);
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, server_->port());
        QVERIFY(socket.waitForConnected(2000));
        // Sent in two parts, so a request line may arrive cut.
        socket.write(request.left(9));
        QTest::qWait(20);
        socket.write(request.mid(9));
        QByteArray raw;
        QElapsedTimer waiting;
        waiting.start();
        // Far below the idle time: a connection that ends, ends at once.
        while (socket.state() == QAbstractSocket::ConnectedState && waiting.elapsed() < 1000) {
            QTest::qWait(10);
            raw += socket.readAll();
        }
        raw += socket.readAll();
        QCOMPARE(raw.count("HTTP/1.1 "), replies);
        QCOMPARE(socket.state() == QAbstractSocket::UnconnectedState, closed);
        QCOMPARE(raw.count("\r\nConnection: close\r\n"), closed ? 1 : 0);
        // The server lives on.
        QCOMPARE(get(server_->port(), "/api/race").status, 200);
    }

    void unreadRepliesHoldFurtherRequests()
    {
        // A report of 1 MiB asked for twenty times on one connection whose
        // client reads nothing for a while, with a small receive buffer so
        // the system takes little of it.
        makeArchive();
        namespace fs = std::filesystem;
        const fs::path big = fs::path(archive_.path().toStdString()) / "2026-12-07_21-00-00";
        fs::create_directories(big);
        QByteArray report;
        for (int i = 0; report.size() < 1 << 20; ++i)
            report += "<p>" + QByteArray::number(i) + "</p>\n";
        std::ofstream(big / "report.html", std::ios::binary) << report.toStdString();
        const QByteArray ask = "GET /races/2026-12-07_21-00-00/report.html HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        QTcpSocket reader;
        reader.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 64 * 1024);
        reader.setReadBufferSize(64 * 1024);
        reader.connectToHost(QHostAddress::LocalHost, server_->port());
        QVERIFY(reader.waitForConnected(2000));
        reader.write(ask.repeated(20));
        qint64 mostUnsent = 0;
        for (int i = 0; i < 50; ++i) {
            QTest::qWait(10);
            mostUnsent = std::max(mostUnsent, server_->unsentReplyBytes());
        }
        // The first reply is under way; the program holds at most the
        // unread limit and a little of the file ahead.
        QVERIFY(mostUnsent > 0);
        QVERIFY2(mostUnsent <= ConnectionLimits{}.maxBacklogBytes + 128 * 1024, QByteArray::number(mostUnsent));

        // Once the client reads, every reply arrives whole and in order.
        reader.setReadBufferSize(0);
        QByteArray raw;
        QDeadlineTimer deadline(20'000);
        // Every reply's head is as long as the first.
        while (!raw.contains("\r\n\r\n")
               || raw.size() < 20 * (report.size() + raw.indexOf("\r\n\r\n") + 4)) {
            if (deadline.hasExpired() || reader.state() != QAbstractSocket::ConnectedState)
                break;
            QTest::qWait(2);
            raw += reader.readAll();
            mostUnsent = std::max(mostUnsent, server_->unsentReplyBytes());
        }
        int replies = 0;
        for (qsizetype at = 0; at < raw.size(); ++replies) {
            const Response reply = parseResponse(raw.mid(at, 1000));
            QCOMPARE(reply.status, 200);
            const qsizetype head = raw.indexOf("\r\n\r\n", at) + 4;
            QCOMPARE(reply.headers.value("content-length").toLongLong(), report.size());
            QVERIFY2(raw.mid(head, report.size()) == report, qPrintable(QStringLiteral("reply %1").arg(replies)));
            at = head + report.size();
        }
        QCOMPARE(replies, 20);
        QVERIFY2(mostUnsent <= ConnectionLimits{}.maxBacklogBytes + 128 * 1024, QByteArray::number(mostUnsent));
    }

    void connectionLimitsHold()
    {
        ConnectionLimits limits;
        limits.maxConnections = 4;
        limits.maxRequestBytes = 2048;
        limits.idleTimeoutMs = 600;
        BoardServer server(std::filesystem::path(archive_.path().toStdString()), limits);
        QString error;
        QVERIFY(server.listen({QHostAddress(QHostAddress::LocalHost), 0}, &error));

        // Four idle connections fill the server; the fifth is closed on arrival.
        std::vector<std::unique_ptr<QTcpSocket>> idle;
        for (int i = 0; i < 4; ++i) {
            idle.push_back(std::make_unique<QTcpSocket>());
            idle.back()->connectToHost(QHostAddress::LocalHost, server.port());
            QVERIFY(idle.back()->waitForConnected(2000));
        }
        QTest::qWait(50);
        QCOMPARE(get(server.port(), "/").status, 0);
        // Nothing ever answered on them: dropped after the idle time.
        for (const auto &socket : idle)
            QTRY_COMPARE_WITH_TIMEOUT(socket->state(), QAbstractSocket::UnconnectedState, 3000);
        QCOMPARE(get(server.port(), "/").status, 200);

        // A header that never ends is dropped once past the request limit,
        // long before the idle time.
        QTcpSocket endless;
        endless.connectToHost(QHostAddress::LocalHost, server.port());
        QVERIFY(endless.waitForConnected(2000));
        endless.write("GET / HTTP/1.1\r\nX-Long: ");
        QElapsedTimer sending;
        sending.start();
        while (endless.state() == QAbstractSocket::ConnectedState && sending.elapsed() < 3000) {
            endless.write(QByteArray(512, 'a'));
            QTest::qWait(5);
        }
        QCOMPARE(endless.state(), QAbstractSocket::UnconnectedState);
        QVERIFY(sending.elapsed() < limits.idleTimeoutMs);

        // A live client is pinged, so it stays past the idle time.
        QWebSocket live;
        int messages = 0;
        connect(&live, &QWebSocket::textMessageReceived, this, [&messages] { ++messages; });
        live.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(server.port())));
        QTRY_COMPARE(messages, 1);
        QTest::qWait(limits.idleTimeoutMs * 2);
        QCOMPARE(live.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(server.liveClientCount(), 1);

        // A client that stops reading a large report is cut off after the
        // idle time, and learns it at once although megabytes are still on
        // their way to it.
        namespace fs = std::filesystem;
        const fs::path big = fs::path(archive_.path().toStdString()) / "2026-12-07_21-30-00";
        fs::create_directories(big);
        std::ofstream(big / "report.html") << std::string(8 << 20, 'x');
        QTcpSocket stalled;
        stalled.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
        stalled.setReadBufferSize(4096);
        stalled.connectToHost(QHostAddress::LocalHost, server.port());
        QVERIFY(stalled.waitForConnected(2000));
        stalled.write("GET /races/2026-12-07_21-30-00/report.html HTTP/1.1\r\n\r\n");
        // Qt reads nothing more from a full read buffer, so it is the
        // system that is asked.
        const auto systemState = [&stalled] {
            tcp_info info{};
            socklen_t size = sizeof info;
            ::getsockopt(int(stalled.socketDescriptor()), IPPROTO_TCP, TCP_INFO, &info, &size);
            return int(info.tcpi_state);
        };
        QCOMPARE(systemState(), int(TCP_ESTABLISHED));
        QTRY_COMPARE_WITH_TIMEOUT(systemState(), int(TCP_CLOSE), 3 * limits.idleTimeoutMs);
        QCOMPARE(server.unsentReplyBytes(), 0);
    }

    void oneAddressCannotLockOthersOut()
    {
        ConnectionLimits limits;
        limits.maxConnections = 8;
        limits.maxConnectionsPerAddress = 4;
        BoardServer server(std::filesystem::path(archive_.path().toStdString()), limits);
        QString error;
        QVERIFY(server.listen({QHostAddress(QHostAddress::LocalHost), 0}, &error));
        server.attach(script_->engine.race(), script_->settings);
        const QHostAddress attackerA(QStringLiteral("127.0.0.1"));
        const QHostAddress attackerB(QStringLiteral("127.0.0.3"));
        const QHostAddress visitor(QStringLiteral("127.0.0.2"));

        // A holds a live WebSocket and asks for six idle connections more; B
        // for six idle ones. Together they hold every place there is.
        LiveClientFrom attackersLive;
        QVERIFY(attackersLive.open(attackerA, server.port()));
        std::vector<std::unique_ptr<QTcpSocket>> idleA, idleB;
        const auto connectedOf = [](std::vector<std::unique_ptr<QTcpSocket>> &sockets) {
            return std::count_if(sockets.cbegin(), sockets.cend(), [](const auto &socket) {
                return socket->state() == QAbstractSocket::ConnectedState;
            });
        };
        // Closed places are taken again at once, as a hostile client would.
        const auto renew = [&](std::vector<std::unique_ptr<QTcpSocket>> &sockets, const QHostAddress &from) {
            std::erase_if(sockets, [](const auto &socket) { return socket->state() != QAbstractSocket::ConnectedState; });
            while (sockets.size() < 6)
                sockets.push_back(connectFrom(from, server.port()));
            QTest::qWait(20);
        };
        renew(idleA, attackerA);
        renew(idleB, attackerB);
        QTRY_COMPARE(connectedOf(idleA), 3);
        QTRY_COMPARE(connectedOf(idleB), 4);

        // The visitor's live page connects, and 25 requests are all answered,
        // the attackers renewing what they lost after each.
        LiveClientFrom visitorsLive;
        QVERIFY(visitorsLive.open(visitor, server.port()));
        QTRY_VERIFY((visitorsLive.pump(), visitorsLive.states.size() == 1));
        int answered = 0;
        for (int i = 0; i < 25; ++i) {
            renew(idleA, attackerA);
            renew(idleB, attackerB);
            answered += exchange(server.port(), "GET /api/race HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", visitor).status == 200;
        }
        QCOMPARE(answered, 25);

        // The visitor's page keeps following the race.
        script_->startRace(10'000);
        server.raceMayHaveChanged();
        QTRY_VERIFY((visitorsLive.pump(), visitorsLive.states.size() == 2));
        QVERIFY(visitorsLive.states.last().value("phase").toString() != QStringLiteral("before"));
        // Live connections are never the ones displaced, and A never held
        // more than its share.
        QCOMPARE(attackersLive.socket->state(), QAbstractSocket::ConnectedState);
        renew(idleA, attackerA);
        QVERIFY(connectedOf(idleA) <= 3);
    }

    void boardAddresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host"); // empty: refused
        QTest::addColumn<int>("port");
        QTest::newRow("port alone: every interface") << "8080" << QHostAddress(QHostAddress::Any).toString() << 8080;
        QTest::newRow("loopback") << "127.0.0.1:8080" << "127.0.0.1" << 8080;
        QTest::newRow("localhost") << "localhost:80" << "127.0.0.1" << 80;
        QTest::newRow("IPv6 in brackets") << "[::1]:18000" << "::1" << 18000;
        QTest::newRow("any free port") << "127.0.0.1:0" << "127.0.0.1" << 0;
        for (const char *bad : {"", "http", "65536", "-1", "+80", " 80", "80 ", "::1:80", "[::1]", "club.example:80",
                                "127.0.0.1:", ":80", "127.0.0.256:80", "1.2.3.4:5:6"})
            QTest::addRow("refused: '%s'", bad) << bad << QString() << 0;
    }

    void boardAddresses()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(int, port);
        const std::optional<BoardAddress> address = parseBoardAddress(text);
        QCOMPARE(address.has_value(), !host.isEmpty());
        if (address) {
            QCOMPARE(address->host.toString(), host);
            QCOMPARE(int(address->port), port);
        }
    }

    void boardUrlsNameEveryAddressListenedOn()
    {
        const QList<QHostAddress> own = QNetworkInterface::allAddresses();
        const QStringList any = boardUrls(QHostAddress(QHostAddress::Any), 8080);
        QVERIFY(any.contains(QStringLiteral("http://127.0.0.1:8080/")));
        // The IPv6 loopback where the system has one, in brackets; link-local
        // addresses are no use in a URL.
        QCOMPARE(any.contains(QStringLiteral("http://[::1]:8080/")), own.contains(QHostAddress::LocalHostIPv6));
        for (const QString &url : any)
            QVERIFY2(!url.contains(QStringLiteral("[fe80:"), Qt::CaseInsensitive), qPrintable(url));
        const QStringList ipv4 = boardUrls(QHostAddress(QHostAddress::AnyIPv4), 8080);
        QVERIFY(ipv4.contains(QStringLiteral("http://127.0.0.1:8080/")));
        QVERIFY(!ipv4.join(u' ').contains(u'['));
        const QStringList ipv6 = boardUrls(QHostAddress(QHostAddress::AnyIPv6), 8080);
        QVERIFY(!ipv6.contains(QStringLiteral("http://127.0.0.1:8080/")));
        QCOMPARE(boardUrls(QHostAddress(QHostAddress::LocalHostIPv6), 80), QStringList{"http://[::1]:80/"});
    }

private:
    /// A finished race's folder with its report, a race folder that is a
    /// link out of the archive, and a report that is one.
    void makeArchive()
    {
        namespace fs = std::filesystem;
        const fs::path races = archive_.path().toStdString();
        const fs::path outside = outside_.path().toStdString();
        if (fs::exists(races / "2026-12-07_19-30-05"))
            return;
        fs::create_directories(races / "2026-12-07_19-30-05");
        std::ofstream(races / "2026-12-07_19-30-05" / "report.html") << "<html>report \xc4\x8d</html>";
        std::ofstream(outside / "secret.html") << "secret";
        fs::create_directories(outside / "race");
        std::ofstream(outside / "race" / "report.html") << "secret";
        fs::create_directory_symlink(outside / "race", races / "2026-12-07_20-00-00");
        fs::create_directories(races / "2026-12-07_19-45-00");
        fs::create_symlink(outside / "secret.html", races / "2026-12-07_19-45-00" / "report.html");
    }

    QTemporaryDir archive_;
    QTemporaryDir outside_;
    std::unique_ptr<RaceScript> script_;
    std::unique_ptr<BoardServer> server_;
};

QTEST_GUILESS_MAIN(BoardServerTest)
#include "boardserver_test.moc"
