#ifndef FERROLINK_TESTS_HALVEXCLIENT_H
#define FERROLINK_TESTS_HALVEXCLIENT_H

#include "protocol.h"

#include <QByteArray>
#include <QList>
#include <QTcpSocket>

#include <cstdint>

// A plain TCP client of the server on 127.0.0.1, as any program that speaks
// the protocol would be. Every wait runs the event loop, so a server in the
// same process goes on working meanwhile; every wait is bounded.
class HalvexClient
{
public:
    static constexpr quint16 Port = ferrolink::protocol::Port;

    // True once connected; false when refused or not connected in time.
    bool connectToServer(int timeoutMs = 3000);
    // Tries to connect every `intervalMs` until it succeeds or `timeoutMs`
    // has passed; true when connected.
    bool connectWithin(int timeoutMs, int intervalMs = 250);

    // Connects and makes sure the server has taken this connection: one the
    // system accepted while the server was closing its listener is reset,
    // so only an answered read ("R") counts. Tries again every 100 ms until
    // `timeoutMs` has passed; true when served.
    bool beServed(int timeoutMs);

    void send(const QByteArray &request);
    // Waits until `count` replies (2 bytes each) have arrived and takes
    // them; fewer when the time ran out.
    QList<int16_t> replies(int count, int timeoutMs = 3000);
    // Whatever has arrived and not been taken yet.
    QByteArray received();

    bool isConnected() const;
    // Waits until the server has closed the connection.
    bool waitForServerClose(int timeoutMs);
    void close();

    QTcpSocket &socket() { return m_socket; }

private:
    QTcpSocket m_socket;
};

#endif
