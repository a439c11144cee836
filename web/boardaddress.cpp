#include "web/boardaddress.h"

#include <QNetworkInterface>

namespace {

std::optional<quint16> parsePort(const QString &text)
{
    bool ok = false;
    const uint port = text.toUInt(&ok);
    // toUInt takes a sign and blanks; a port is digits only.
    if (!ok || text.isEmpty() || text.front() == u'+' || text.trimmed() != text || port > 65535)
        return std::nullopt;
    return quint16(port);
}

QString urlFor(const QHostAddress &host, quint16 port)
{
    const QString shown = host.protocol() == QAbstractSocket::IPv6Protocol
                              ? QStringLiteral("[%1]").arg(host.toString())
                              : host.toString();
    return QStringLiteral("http://%1:%2/").arg(shown).arg(port);
}

} // namespace

std::optional<BoardAddress> parseBoardAddress(const QString &text)
{
    const qsizetype colon = text.lastIndexOf(u':');
    const std::optional<quint16> port = parsePort(colon < 0 ? text : text.mid(colon + 1));
    if (!port)
        return std::nullopt;
    if (colon < 0)
        return BoardAddress{QHostAddress(QHostAddress::Any), *port};

    QString host = text.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    else if (host.contains(u':'))
        return std::nullopt; // an IPv6 address needs its brackets
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0)
        return BoardAddress{QHostAddress(QHostAddress::LocalHost), *port};
    QHostAddress address;
    if (host.isEmpty() || !address.setAddress(host))
        return std::nullopt;
    return BoardAddress{address, *port};
}

QStringList boardUrls(const QHostAddress &host, quint16 port)
{
    const bool anyIPv4 = host == QHostAddress(QHostAddress::Any) || host == QHostAddress(QHostAddress::AnyIPv4);
    const bool anyIPv6 = host == QHostAddress(QHostAddress::Any) || host == QHostAddress(QHostAddress::AnyIPv6);
    if (!anyIPv4 && !anyIPv6)
        return {urlFor(host, port)};
    QStringList urls;
    for (const QHostAddress &address : QNetworkInterface::allAddresses()) {
        // A link-local IPv6 address needs its interface named, which
        // browsers do not take in a URL.
        if ((address.protocol() == QAbstractSocket::IPv4Protocol && anyIPv4)
            || (address.protocol() == QAbstractSocket::IPv6Protocol && anyIPv6 && !address.isLinkLocal()))
            urls.append(urlFor(address, port));
    }
    return urls;
}
