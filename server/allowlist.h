// The networks whose clients halvex serves (--allow).
#ifndef FERROLINK_ALLOWLIST_H
#define FERROLINK_ALLOWLIST_H

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>

namespace ferrolink {

// The networks whose clients the server serves. An empty list serves every
// client. An IPv4 client reached over IPv6 (an IPv4-mapped address such as
// ::ffff:192.168.0.7, which is how a dual-stack listener sees every IPv4
// peer) counts as the IPv4 address it carries, on both sides of the match.
class AllowList
{
public:
    // Adds an address ("192.168.0.7", "::1") or a network ("192.168.0.0/24",
    // "192.168.0.0/255.255.255.0", "fd00::/8"). Returns false and leaves the
    // list as it was for anything else, `error` then says why: a host name,
    // a shortened IPv4 address ("10", "192.168.1"), a prefix out of range, or
    // an address with bits set past its prefix ("192.168.0.7/24"), which is
    // more likely a typing error than the network meant.
    bool add(const QString &network, QString *error = nullptr);

    bool isEmpty() const { return m_networks.isEmpty(); }
    // True for an empty list, otherwise whether `peer` lies in one of the
    // networks. A null address (the peer could not be told) is never allowed
    // by a non-empty list.
    bool allows(const QHostAddress &peer) const;

    // `address` with an IPv4-mapped IPv6 address turned into its IPv4 address.
    static QHostAddress normalized(const QHostAddress &address);

private:
    QList<QPair<QHostAddress, int>> m_networks;
};

} // namespace ferrolink

#endif
