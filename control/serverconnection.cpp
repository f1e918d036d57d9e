// The control's connection to a server: requests out, replies matched to their reads.
#include "serverconnection.h"

#include "sendatonce.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

namespace ferrolink {

// One read waiting for its reply; lives on the waiting read's stack.
struct ServerConnection::OwedRead
{
    std::optional<int16_t> reply;
    bool over = false; // the reply came, or the read gave up
    std::chrono::steady_clock::time_point giveUpAt;
};

ServerConnection::ServerConnection(QObject *parent)
    : QObject(parent), Winsock1(new QTcpSocket(this)), m_replyWait(new QTimer(this))
{
    m_replyWait->setSingleShot(true);
    m_replyWait->setTimerType(Qt::PreciseTimer);
    connect(m_replyWait, &QTimer::timeout, this, &ServerConnection::giveUpLateReads);
    Winsock1->setObjectName(QStringLiteral("Winsock1"));
    connect(Winsock1, &QTcpSocket::connected, this, &ServerConnection::Winsock1_Connect);
    connect(Winsock1, &QTcpSocket::readyRead, this, &ServerConnection::Winsock1_DataArrival);
    connect(Winsock1, &QTcpSocket::errorOccurred, this, &ServerConnection::Winsock1_Error);
    connect(Winsock1, &QTcpSocket::stateChanged, this, &ServerConnection::Winsock1_StateChanged);
}

ServerConnection::~ServerConnection()
{
    // A read waiting further down the stack must not wait on a connection
    // that no longer exists.
    giveUpOwedReads();
    Winsock1->disconnect(this);
}

void ServerConnection::connectToServer(const QString &address, uint16_t port)
{
    Winsock1->abort();
    m_replies.clear();
    giveUpOwedReads();
    Winsock1->connectToHost(address, port);
}

void ServerConnection::close()
{
    Winsock1->close();
    m_replies.clear();
    giveUpOwedReads();
}

bool ServerConnection::isConnected() const
{
    return Winsock1->state() == QAbstractSocket::ConnectedState;
}

bool ServerConnection::send(const QByteArray &request)
{
    if (!isConnected())
        return false;
    // A server that does not read: the request is lost rather than queued
    // without end.
    if (Winsock1->bytesToWrite() >= PendingOutputLimit)
        return false;
    // Straight to the system while nothing waits in the socket's buffer.
    const qsizetype direct
        = Winsock1->bytesToWrite() == 0 ? sendAtOnce(Winsock1->socketDescriptor(), request) : 0;
    if (direct == request.size())
        return true;
    // What the system did not take (or all of it, on a failure the socket
    // then reports itself) goes through the socket's buffer.
    const QByteArray rest = request.sliced(direct);
    if (Winsock1->write(rest) != rest.size())
        return false;
    Winsock1->flush();
    return isConnected();
}

int16_t ServerConnection::read(const QByteArray &request)
{
    if (!send(request))
        return 0;

    OwedRead owed;
    owed.giveUpAt
        = std::chrono::steady_clock::now() + std::chrono::milliseconds(ReplyWaitMilliseconds);
    m_owed.push_back(&owed);
    // One timer for all the reads owed: armed for the oldest, it is not
    // touched while replies come in time.
    if (!m_replyWait->isActive())
        m_replyWait->start(ReplyWaitMilliseconds);

    // Sleeps in the event loop until something happens: the reply's arrival,
    // the end of the connection or the deadline each wake it.
    const QPointer<ServerConnection> alive(this);
    while (!owed.over) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (!alive)
            return 0;
        // Bytes that came while a data handler further down the stack was
        // busy raise no new readyRead: take them here.
        if (!owed.over && Winsock1->bytesAvailable() > 0)
            Winsock1_DataArrival();
    }
    return owed.reply.value_or(0);
}

void ServerConnection::Winsock1_Connect()
{
    // Without it a read that follows a write waits for the delayed
    // acknowledgement. Set here: before the connection exists it is dropped.
    Winsock1->setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

void ServerConnection::Winsock1_DataArrival()
{
    // Through a small buffer on the stack: replies are a few bytes, and
    // readAll() would allocate for each arrival.
    char bytes[256];
    for (qint64 got; (got = Winsock1->read(bytes, sizeof bytes)) > 0;)
        m_replies.feed(QByteArrayView(bytes, got));
    while (const std::optional<int16_t> reply = m_replies.next()) {
        if (m_owed.empty())
            continue; // nobody asked for it
        OwedRead *oldest = m_owed.front();
        m_owed.pop_front();
        if (!oldest)
            continue; // its read gave up
        oldest->reply = *reply;
        oldest->over = true;
    }
}

void ServerConnection::Winsock1_Error(QAbstractSocket::SocketError error)
{
    // The server closing the connection (after the goodbye, or its
    // watchdog) ends it as it should; a reset is reported the same way.
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    emit problem();
}

void ServerConnection::Winsock1_StateChanged(QAbstractSocket::SocketState state)
{
    if (state == QAbstractSocket::ConnectedState)
        return;
    // Replies that came before the end still answer their reads.
    if (Winsock1->bytesAvailable() > 0)
        Winsock1_DataArrival();
    giveUpOwedReads();
}

// The reads past their deadline give up; the timer then waits for the
// earliest deadline of those still waiting.
void ServerConnection::giveUpLateReads()
{
    const auto now = std::chrono::steady_clock::now();
    std::vector<OwedRead *> late;
    std::optional<std::chrono::steady_clock::time_point> next;
    for (OwedRead *read : m_owed) {
        if (!read || read->over)
            continue;
        if (read->giveUpAt <= now)
            late.push_back(read);
        else if (!next || read->giveUpAt < *next)
            next = read->giveUpAt;
    }
    for (OwedRead *read : late)
        forget(read);
    if (next)
        m_replyWait->start(int(std::chrono::ceil<std::chrono::milliseconds>(*next - now).count()));
}

// The read keeps its place: its reply is still to come, and must not be
// taken by the reads after it.
void ServerConnection::forget(OwedRead *read)
{
    std::replace(m_owed.begin(), m_owed.end(), read, static_cast<OwedRead *>(nullptr));
    read->over = true;
}

void ServerConnection::giveUpOwedReads()
{
    for (OwedRead *read : m_owed) {
        if (read)
            read->over = true;
    }
    m_owed.clear();
}

} // namespace ferrolink
