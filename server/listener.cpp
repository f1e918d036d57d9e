// The listening half of the server socket: hands accepted descriptors out.
#include "listener.h"

namespace ferrolink {

Listener::Listener(QObject *parent) : QTcpServer(parent) { }

void Listener::incomingConnection(qintptr requestId)
{
    emit connectionRequest(requestId);
}

} // namespace ferrolink
