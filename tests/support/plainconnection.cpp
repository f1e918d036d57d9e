#include "plainconnection.h"

#include <QTest>

#include <cerrno>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

PlainConnection::~PlainConnection()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PlainConnection::open(quint16 port)
{
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in server = {};
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return m_fd >= 0 && ::connect(m_fd, reinterpret_cast<sockaddr *>(&server), sizeof server) == 0;
}

bool PlainConnection::send(const QByteArray &bytes)
{
    return ::send(m_fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
}

bool PlainConnection::waitUntilClosedByServer(int timeoutMs)
{
    return QTest::qWaitFor(
        [this] {
            char buffer[64];
            const ssize_t count = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (count > 0)
                m_received.append(buffer, count);
            return count == 0 || (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
        },
        timeoutMs);
}
