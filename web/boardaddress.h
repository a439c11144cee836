// Where the board server listens: the --web option's "[ADDRESS:]PORT".
// A port alone listens on every interface so phones on the club's network
// reach it; an address keeps it to that interface ("127.0.0.1:PORT" to this
// computer). Only numeric addresses and "localhost" are taken, so starting
// never waits for a name lookup.
#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

struct BoardAddress {
    QHostAddress host = QHostAddress(QHostAddress::Any);
    quint16 port = 0; ///< 0: any free port, chosen when listening
};

/// The address of \a text, or nullopt when it is not "[ADDRESS:]PORT"
/// (an IPv6 address in brackets: "[::1]:8080").
std::optional<BoardAddress> parseBoardAddress(const QString &text);

/// The URLs a browser can open for a server listening on \a host and \a port:
/// every address of this computer for an "any" address (IPv4 first as the
/// system lists them, IPv6 in brackets, link-local ones left out), else the one.
QStringList boardUrls(const QHostAddress &host, quint16 port);
