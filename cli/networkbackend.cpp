// A server over TCP, as a backend of ferrolink: connect, ask, say goodbye.
#include "networkbackend.h"

#include "failure.h"
#include "protocol.h"

#include <QDeadlineTimer>

namespace ferrolink {

using protocol::encodeRequest;

NetworkBackend::NetworkBackend(const QString &address, int timeoutMilliseconds)
    : m_address(address), m_timeoutMilliseconds(timeoutMilliseconds)
{
}

NetworkBackend::~NetworkBackend()
{
    m_socket.abort();
}

QString NetworkBackend::where() const
{
    return QStringLiteral("%1:%2").arg(m_address).arg(protocol::Port);
}

QString NetworkBackend::seconds() const
{
    return QString::number(m_timeoutMilliseconds / 1000.0, 'g', 4);
}

void NetworkBackend::connectToServer()
{
    m_socket.connectToHost(m_address, protocol::Port);
    if (m_socket.waitForConnected(m_timeoutMilliseconds)) {
        // Requests leave at once; set only now, on the connected socket.
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return;
    }
    switch (m_socket.error()) {
    case QAbstractSocket::ConnectionRefusedError:
        throw Failure(ConnectionRefused,
                      QStringLiteral("%1 refused the connection: the server may be serving "
                                     "another client, or not be listening yet (halvex listens "
                                     "10 to 15 s after its start)")
                          .arg(where()));
    case QAbstractSocket::SocketTimeoutError:
        throw Failure(ServerUnreachable,
                      QStringLiteral("no connection to %1 within %2 s").arg(where(), seconds()));
    default:
        throw Failure(ServerUnreachable,
                      QStringLiteral("cannot reach %1: %2").arg(where(), m_socket.errorString()));
    }
}

void NetworkBackend::connectionLost() const
{
    throw Failure(ServerUnreachable,
                  QStringLiteral("the server at %1 closed the connection").arg(where()));
}

void NetworkBackend::send(const QByteArray &request)
{
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        connectionLost();
    if (m_socket.write(request) != request.size())
        connectionLost();
    while (m_socket.bytesToWrite() > 0) {
        if (!m_socket.waitForBytesWritten(m_timeoutMilliseconds)) {
            if (m_socket.state() != QAbstractSocket::ConnectedState)
                connectionLost();
            throw Failure(NoReply,
                          QStringLiteral("the server at %1 took no request within %2 s")
                              .arg(where(), seconds()));
        }
    }
}

int16_t NetworkBackend::read(const QByteArray &request)
{
    send(request);
    const QDeadlineTimer deadline(m_timeoutMilliseconds, Qt::PreciseTimer);
    for (;;) {
        m_replies.feed(m_socket.readAll());
        if (const std::optional<int16_t> reply = m_replies.next())
            return *reply;
        if (m_socket.state() != QAbstractSocket::ConnectedState)
            connectionLost();
        if (deadline.hasExpired() || !m_socket.waitForReadyRead(int(deadline.remainingTime()))) {
            if (m_socket.state() != QAbstractSocket::ConnectedState)
                connectionLost();
            if (deadline.hasExpired())
                throw Failure(NoReply,
                              QStringLiteral("no reply to \"%1\" from the server at %2 within %3 s")
                                  .arg(QString::fromLatin1(request), where(), seconds()));
        }
    }
}

void NetworkBackend::writeDigital(int16_t value)
{
    send(encodeRequest(value, protocol::WriteDigital));
}

int16_t NetworkBackend::readDigital()
{
    return read(encodeRequest(protocol::ReadDigital));
}

int16_t NetworkBackend::readAnalog(int16_t channel)
{
    return read(encodeRequest(channel, protocol::ReadAnalog));
}

void NetworkBackend::writeAnalog(int16_t channel, int16_t value)
{
    send(encodeRequest(channel, protocol::ChooseAnalogChannel));
    send(encodeRequest(value, protocol::WriteAnalog));
}

void NetworkBackend::finish()
{
    send(encodeRequest(protocol::Goodbye));
    // The server closes at once; a server that does not is left behind.
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        m_socket.waitForDisconnected(m_timeoutMilliseconds);
    m_socket.abort();
}

} // namespace ferrolink
