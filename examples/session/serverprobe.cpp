#include "serverprobe.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QThread>

namespace {

constexpr int ConnectTimeoutMs = 1000;
constexpr int GoodbyeTimeoutMs = 3000;
constexpr int RetryPauseMs = 250;

} // namespace

ServerProbe::ServerProbe(const QString &address, quint16 port)
    : m_address(address)
    , m_port(port)
{
}

bool ServerProbe::waitUntilListening(int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!knock()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(RetryPauseMs);
    }
    return true;
}

bool ServerProbe::refused() const
{
    return !knock();
}

bool ServerProbe::knock() const
{
    QTcpSocket socket;
    socket.connectToHost(m_address, m_port);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    // "I" makes the server close this connection and listen again; its
    // closing tells that it has done so.
    socket.write("I");
    socket.flush();
    socket.waitForDisconnected(GoodbyeTimeoutMs);
    return true;
}
