#include "recordingserver.h"

#include "protocol.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace {

// The system's receive buffer of a client's connection while not reading.
constexpr int StalledBuffer = 4096;

} // namespace

RecordingServer::RecordingServer(QObject *parent) : QObject(parent), m_server(new QTcpServer(this))
{
    m_clock.start();
    m_replyTimer.setSingleShot(true);
    m_replyTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_replyTimer, &QTimer::timeout, this, &RecordingServer::sendDueReplies);
    connect(m_server, &QTcpServer::newConnection, this, &RecordingServer::acceptClient);
}

RecordingServer::~RecordingServer()
{
    const QList<QTcpSocket *> clients = m_server->findChildren<QTcpSocket *>();
    for (QTcpSocket *client : clients)
        client->disconnect(this);
}

bool RecordingServer::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

void RecordingServer::stopListening()
{
    m_server->close();
}

QByteArrayList RecordingServer::requests(bool withHeartbeats) const
{
    QByteArrayList list;
    for (const Received &item : m_received) {
        if (withHeartbeats || item.request != "K")
            list.append(item.request);
    }
    return list;
}

QList<qint64> RecordingServer::heartbeatTimes() const
{
    QList<qint64> times;
    for (const Received &item : m_received) {
        if (item.request == "K")
            times.append(item.at);
    }
    return times;
}

void RecordingServer::holdReplies(const QList<int> &milliseconds)
{
    m_holds = milliseconds;
}

void RecordingServer::setReading(bool reading)
{
    m_reading = reading;
    applyReading();
    if (reading && m_client)
        readClient();
}

// A read buffer of one byte that is never emptied stops the socket reading;
// a small system buffer lets the client's pile-up begin soon.
void RecordingServer::applyReading()
{
    if (!m_client)
        return;
    m_client->setReadBufferSize(m_reading ? 0 : 1);
    if (!m_reading)
        m_client->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, StalledBuffer);
}

void RecordingServer::sendRaw(const QByteArray &bytes)
{
    if (m_client) {
        m_client->write(bytes);
        m_client->flush();
    }
}

void RecordingServer::dropClient()
{
    if (m_client)
        m_client->close();
}

void RecordingServer::acceptClient()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        // The one before goes on until it closes, but is no longer heard.
        if (m_client)
            disconnect(m_client, &QTcpSocket::readyRead, this, &RecordingServer::readClient);
        m_client = socket;
        m_client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_pending.clear();
        m_replies.clear();
        ++m_connections;
        connect(m_client, &QTcpSocket::readyRead, this, &RecordingServer::readClient);
        connect(m_client, &QTcpSocket::disconnected, this, &RecordingServer::clientGone);
        applyReading();
        emit clientConnected();
    }
}

void RecordingServer::readClient()
{
    if (!m_reading)
        return;
    // A request is its number's characters up to and including the first
    // other byte, its letter; kept exactly as sent.
    for (const char c : m_client->readAll()) {
        m_pending.append(c);
        if (ferrolink::protocol::isNumberCharacter(c))
            continue;
        const QByteArray text = m_pending;
        m_pending.clear();
        m_received.append({ elapsed(), text });
        answer(text);
        emit requestReceived(text);
        if (!m_client)
            return;
    }
}

void RecordingServer::clientGone()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    if (!socket)
        return;
    m_disconnectedAt = elapsed();
    socket->deleteLater();
    if (socket == m_client) {
        m_client = nullptr;
        m_replies.clear();
        m_replyTimer.stop();
    }
    emit clientDisconnected();
}

void RecordingServer::answer(const QByteArray &request)
{
    qint16 value = 0;
    if (request.endsWith(ferrolink::protocol::ReadDigital))
        value = m_digitalInput;
    else if (request.endsWith(ferrolink::protocol::ReadAnalog))
        value = qint16(m_analogBase + ferrolink::protocol::readNumber(request).value_or(0));
    else
        return;
    if (!m_answering)
        return;
    const int hold = m_holds.isEmpty() ? 0 : m_holds.takeFirst();
    // Never before a reply that is still held back.
    const qint64 due = std::max(elapsed() + hold, m_replies.empty() ? 0 : m_replies.back().due);
    m_replies.push_back({ due, ferrolink::protocol::encodeReply(value) });
    sendDueReplies();
}

void RecordingServer::sendDueReplies()
{
    QByteArray out;
    while (!m_replies.empty() && m_replies.front().due <= elapsed()) {
        out += m_replies.front().bytes;
        m_replies.pop_front();
    }
    if (!out.isEmpty())
        sendRaw(out);
    if (!m_replies.empty())
        m_replyTimer.start(int(std::max<qint64>(0, m_replies.front().due - elapsed())));
}
