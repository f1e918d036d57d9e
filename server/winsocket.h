// The server's one socket: it listens, then holds the one connection it took.
#ifndef FERROLINK_WINSOCKET_H
#define FERROLINK_WINSOCKET_H

#include "allowlist.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>

class QTcpSocket;

namespace ferrolink {

class Listener;

// The server's one socket. It first listens on a local port on all local
// addresses; a connection request is then taken by its identifier, and from
// then on the socket is that connection and nothing listens. Closing ends
// either, and the socket can listen again.
//
// What a connection holds is bounded: at most ReceiveLimit received bytes
// wait to be read (beyond them TCP holds the peer back), and the owner stops
// sending while isBackedUp(), until repliesDrained().
//
// Failures are reported by return values with error() and errorString(),
// never by exceptions.
class Winsocket : public QObject
{
    Q_OBJECT

public:
    enum State { Closed = 0, Listening, Connected };
    Q_ENUM(State)

    // Received bytes held until read: 64 KiB, some 20000 requests, more than
    // a client that waits for its replies ever has outstanding.
    static constexpr qint64 ReceiveLimit = 64 * 1024;
    // Replies waiting to go out, on top of what the system's buffers hold:
    // 32768 replies to a client that does not read them.
    static constexpr qint64 ReplyBacklogLimit = 64 * 1024;

    explicit Winsocket(QObject *parent = nullptr);
    ~Winsocket() override;

    // Closed when neither listening nor holding a live connection.
    State state() const;
    // Stops listening and drops the connection; replies already sent go out.
    void close();

    void setLocalPort(quint16 port);
    // Clients from elsewhere are closed as soon as the system has accepted
    // them, before anything of theirs is read, and reported by
    // connectionRefused() instead of connectionRequest(); listening goes on.
    // Empty (the default): every client is a connection request.
    void setAllowList(const AllowList &allowList) { m_allowList = allowList; }
    // Listens on the local port on every local address (IPv4 and IPv6),
    // then drops a connection still held, also when listening fails.
    bool listen();
    // Takes the pending connection `requestId` of a connectionRequest(). On
    // failure the descriptor is closed and the socket stays closed.
    bool accept(qintptr requestId);

    // The peer's address; an IPv4 peer as dotted text ("192.168.0.7").
    QString remoteHostIP() const;
    // What was received and not yet read, at most ReceiveLimit bytes.
    QByteArray getData();
    // Sends the value as its two bytes (low byte first) at once.
    bool sendData(int16_t value);
    // True once a reply left ReplyBacklogLimit bytes or more waiting to go
    // out, until they drained below it or the connection ended.
    bool isBackedUp() const { return m_backedUp; }

    // The system's number of the last failure (errno values) and its text.
    int error() const { return m_error; }
    QString errorString() const { return m_errorString; }

signals:
    void connectionRequest(qintptr requestId);
    // A client that the allow list does not name was closed. `peer` is its
    // address, an IPv4 peer in IPv4 form (null if it could not be told).
    void connectionRefused(const QHostAddress &peer);
    void dataArrival(qint64 bytesTotal);
    // The replies waiting to go out fell below ReplyBacklogLimit again.
    void repliesDrained();

private:
    void dropConnection();
    void onConnectionRequest(qintptr requestId);
    void onReadyRead();
    void onBytesWritten();
    void onAcceptError();
    void setError(int number, const QString &text);

    Listener *m_listener = nullptr;
    QTcpSocket *m_connection = nullptr;
    AllowList m_allowList;
    quint16 m_localPort = 0;
    int m_error = 0;
    QString m_errorString;
    bool m_backedUp = false;
};

} // namespace ferrolink

#endif
