// The listening half of the server socket: hands accepted descriptors out.
#ifndef FERROLINK_LISTENER_H
#define FERROLINK_LISTENER_H

#include <QTcpServer>

namespace ferrolink {

// A TCP listener that does not take connections itself: it hands each
// accepted connection's descriptor out as a connection request, and the
// receiver decides whether and where to use it.
class Listener : public QTcpServer
{
    Q_OBJECT

public:
    explicit Listener(QObject *parent = nullptr);

signals:
    // `requestId` is the descriptor of the pending connection. A receiver
    // that does not take it over must close it.
    void connectionRequest(qintptr requestId);

protected:
    void incomingConnection(qintptr requestId) override;
};

} // namespace ferrolink

#endif
