// The control's connection to a server: requests out, replies matched to their reads.
#ifndef FERROLINK_SERVERCONNECTION_H
#define FERROLINK_SERVERCONNECTION_H

#include "replydecoder.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <deque>

class QTcpSocket;
class QTimer;

namespace ferrolink {

// The control's connection to a server in network mode: one TCP client
// socket (named Winsock1, reused for every connection), the requests sent on
// it and the replies owed to the reads that wait.
//
// Replies are matched to reads in the order their requests went out (the
// server answers in order): each complete reply goes to the oldest read
// still owed one, so a read nested inside another read's wait gets its own
// reply. A read that has waited ReplyWait without its reply gives up but
// keeps its place in that order: its reply, when it comes, is dropped, and
// every later read still gets its own. A reply that no read was sent for is
// dropped.
//
// What the control queues for a server that does not take it (a stalled or
// suspended one) is bounded: once PendingOutputLimit bytes wait to go out, a
// request is not sent. The connection stays; once the server reads again,
// requests go out as before.
class ServerConnection : public QObject
{
    Q_OBJECT

public:
    // How long a read waits for its reply.
    static constexpr int ReplyWaitMilliseconds = 5000;
    // The most bytes the connection queues for a server that does not read,
    // on top of what the system's own buffers hold: about 20000 writes, far
    // more than a server that reads ever lets pile up.
    static constexpr qint64 PendingOutputLimit = 64 * 1024;

    explicit ServerConnection(QObject *parent = nullptr);
    ~ServerConnection() override;

    // Drops any connection held or being made and starts connecting to
    // `address` (dotted IPv4 or a host name, passed on unchanged) in the
    // background. Failures are reported through problem().
    void connectToServer(const QString &address, uint16_t port);
    // Closes the connection; reads still waiting give up.
    void close();
    bool isConnected() const;

    // Sends `request` as one piece. False, and nothing sent, when there is
    // no connection or PendingOutputLimit bytes already wait to go out (so
    // no more than that and one request ever wait).
    bool send(const QByteArray &request);
    // Sends `request` and handles events until its reply has come; returns
    // the reply. Returns 0 at once when the request cannot be sent, and 0
    // when the connection ends or ReplyWait passes before the reply.
    int16_t read(const QByteArray &request);

signals:
    // The connection was refused, could not be made or failed. An orderly
    // close by the server is not a problem.
    void problem();

private:
    struct OwedRead;

    void Winsock1_Connect();
    void Winsock1_DataArrival();
    void Winsock1_Error(QAbstractSocket::SocketError error);
    void Winsock1_StateChanged(QAbstractSocket::SocketState state);

    void giveUpLateReads();
    void forget(OwedRead *read);
    void giveUpOwedReads();

    QTcpSocket *Winsock1 = nullptr;
    // Ends the wait of the reads whose reply does not come in time.
    QTimer *m_replyWait = nullptr;
    ReplyDecoder m_replies;
    // The reads owed a reply, oldest first; nullptr for a read that gave up,
    // whose reply is still to come and to be dropped.
    std::deque<OwedRead *> m_owed;
};

} // namespace ferrolink

#endif
