// Reads --allow networks and tells whether a peer is in one of them.
#include "allowlist.h"

#include <QCoreApplication>

namespace ferrolink {

namespace {

constexpr int MappedPrefixLength = 96; // ::ffff:0:0/96

bool isIPv4Mapped(const QHostAddress &address)
{
    return address.protocol() == QAbstractSocket::IPv6Protocol
        && address.isInSubnet(QHostAddress(QStringLiteral("::ffff:0:0")), MappedPrefixLength);
}

// The network in its IPv4 form when it lies within the IPv4-mapped range.
QPair<QHostAddress, int> normalizedNetwork(const QPair<QHostAddress, int> &network)
{
    if (network.second < MappedPrefixLength || !isIPv4Mapped(network.first))
        return network;
    return { AllowList::normalized(network.first), network.second - MappedPrefixLength };
}

QString tr(const char *text)
{
    return QCoreApplication::translate("ferrolink::AllowList", text);
}

} // namespace

bool AllowList::add(const QString &network, QString *error)
{
    const QString addressText = network.section(QLatin1Char('/'), 0, 0);
    const QHostAddress address(addressText);
    const QPair<QHostAddress, int> parsed = QHostAddress::parseSubnet(network);
    QString why;
    if (address.isNull() || parsed.second < 0)
        why = tr("not an address or a network");
    // QHostAddress also reads "10" as 0.0.0.10 and "192.168.1" as
    // 192.168.0.1: an IPv4 address must be written with its four parts.
    else if (address.protocol() == QAbstractSocket::IPv4Protocol
             && address.toString() != addressText)
        why = tr("not an address or a network (an IPv4 address has four parts)");
    else if (!parsed.first.isEqual(address, QHostAddress::StrictConversion))
        why = tr("bits set past the prefix; the network is %1/%2")
                  .arg(parsed.first.toString())
                  .arg(parsed.second);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    m_networks.append(normalizedNetwork(parsed));
    return true;
}

bool AllowList::allows(const QHostAddress &peer) const
{
    if (m_networks.isEmpty())
        return true;
    if (peer.isNull())
        return false;
    const QHostAddress address = normalized(peer);
    for (const QPair<QHostAddress, int> &network : m_networks) {
        if (address.isInSubnet(network))
            return true;
    }
    return false;
}

QHostAddress AllowList::normalized(const QHostAddress &address)
{
    if (!isIPv4Mapped(address))
        return address;
    return QHostAddress(address.toIPv4Address());
}

} // namespace ferrolink
