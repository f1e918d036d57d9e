#ifndef SERVERPROBE_H
#define SERVERPROBE_H

#include <QString>

// Looks at a Ferrolink server from outside, with a socket of its own.
//
// The server takes one client at a time and stops listening while it has
// one. A probe that gets through therefore says goodbye at once with "I",
// so that the server listens again for the real client.
class ServerProbe
{
public:
    ServerProbe(const QString &address, quint16 port);

    // Waits up to `timeoutMs` until the server accepts a connection (a fresh
    // server listens only 10 to 15 seconds after its start).
    bool waitUntilListening(int timeoutMs) const;
    // True when a connection attempt is refused: the server is busy with a
    // client (or not there at all).
    bool refused() const;

private:
    // One attempt: connect, say goodbye, wait until the server has closed.
    bool knock() const;

    QString m_address;
    quint16 m_port;
};

#endif
