#ifndef FERROLINK_TESTS_PLAINCONNECTION_H
#define FERROLINK_TESTS_PLAINCONNECTION_H

#include <QByteArray>

// A TCP connection to 127.0.0.1 on the system's own socket calls, for what a
// Qt socket hides: connect() returns as soon as the system has accepted the
// connection on the listening side, and sent bytes lie in the server's
// receive queue before the server's program has looked at the connection.
class PlainConnection
{
public:
    PlainConnection() = default;
    ~PlainConnection();
    PlainConnection(const PlainConnection &) = delete;
    PlainConnection &operator=(const PlainConnection &) = delete;

    // Connects at once; false when refused.
    bool open(quint16 port = 2001);
    bool send(const QByteArray &bytes);
    // Runs the event loop until the server has closed the connection (end
    // of stream or reset), at most `timeoutMs`; what arrived before is kept.
    bool waitUntilClosedByServer(int timeoutMs);
    QByteArray received() const { return m_received; }

private:
    int m_fd = -1;
    QByteArray m_received;
};

#endif
