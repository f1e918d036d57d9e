// A server over TCP, as a backend of ferrolink: connect, ask, say goodbye.
#ifndef FERROLINK_NETWORKBACKEND_H
#define FERROLINK_NETWORKBACKEND_H

#include "backend.h"
#include "replydecoder.h"

#include <QByteArray>
#include <QString>
#include <QTcpSocket>

namespace ferrolink {

// A server over TCP, for one short piece of work: connect, send requests,
// wait for each read's reply, say goodbye. Every wait is bounded by the
// timeout; the sockets wait blocking, as nothing else has to run meanwhile.
// Unlike the control there is no settle time after connecting and no
// heartbeat: the command never stays quiet long enough for the server's
// watchdog.
class NetworkBackend : public Backend
{
public:
    NetworkBackend(const QString &address, int timeoutMilliseconds);
    ~NetworkBackend() override;

    // Connects to the address on port 2001. Throws Failure: ConnectionRefused
    // when nothing listens there, ServerUnreachable otherwise.
    void connectToServer();

    void writeDigital(int16_t value) override;
    int16_t readDigital() override;
    int16_t readAnalog(int16_t channel) override;
    void writeAnalog(int16_t channel, int16_t value) override;
    // Sends "I", so that the server listens again at once, and waits (at
    // most the timeout) until the server has closed the connection.
    void finish() override;

private:
    void send(const QByteArray &request);
    int16_t read(const QByteArray &request);
    [[noreturn]] void connectionLost() const;
    QString where() const;
    QString seconds() const;

    QTcpSocket m_socket;
    ReplyDecoder m_replies;
    QString m_address;
    int m_timeoutMilliseconds;
};

} // namespace ferrolink

#endif
