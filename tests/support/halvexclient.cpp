#include "halvexclient.h"

#include "protocol.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTest>

bool HalvexClient::connectToServer(int timeoutMs)
{
    m_socket.abort();
    m_socket.connectToHost(QHostAddress::LocalHost, Port);
    const bool settled = QTest::qWaitFor(
        [this] {
            return m_socket.state() == QAbstractSocket::ConnectedState
                || m_socket.state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
    if (!settled || !isConnected()) {
        m_socket.abort();
        return false;
    }
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

bool HalvexClient::connectWithin(int timeoutMs, int intervalMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < timeoutMs) {
        if (connectToServer())
            return true;
        QTest::qWait(intervalMs);
    }
    return false;
}

bool HalvexClient::beServed(int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < timeoutMs) {
        if (connectToServer()) {
            send("R");
            if (replies(1, 2000).size() == 1)
                return true;
            close();
        }
        QTest::qWait(100);
    }
    return false;
}

void HalvexClient::send(const QByteArray &request)
{
    m_socket.write(request);
    m_socket.flush();
}

QList<int16_t> HalvexClient::replies(int count, int timeoutMs)
{
    const qint64 wanted = qint64(count) * ferrolink::protocol::ReplySize;
    // Fewer replies than asked for are the caller's to judge.
    static_cast<void>(
        QTest::qWaitFor([&] { return m_socket.bytesAvailable() >= wanted; }, timeoutMs));
    QList<int16_t> values;
    while (values.size() < count && m_socket.bytesAvailable() >= ferrolink::protocol::ReplySize) {
        const QByteArray bytes = m_socket.read(ferrolink::protocol::ReplySize);
        values.append(ferrolink::protocol::decodeReply(bytes[0], bytes[1]));
    }
    return values;
}

QByteArray HalvexClient::received()
{
    return m_socket.readAll();
}

bool HalvexClient::isConnected() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

bool HalvexClient::waitForServerClose(int timeoutMs)
{
    return QTest::qWaitFor([this] { return m_socket.state() == QAbstractSocket::UnconnectedState; },
                           timeoutMs);
}

void HalvexClient::close()
{
    m_socket.abort();
}
