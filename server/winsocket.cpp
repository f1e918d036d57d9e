// The server's one socket: it listens, then holds the one connection it took.
#include "winsocket.h"

#include "listener.h"
#include "protocol.h"
#include "sendatonce.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace ferrolink {

namespace {

// After a failed accept, the listener takes connections again this much later.
constexpr int AcceptRetryInterval = 100; // ms

// The system's error number for a failure Qt reports by kind, so that a
// person sees the number the system itself would give.
int systemErrorNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::AddressInUseError:
        return EADDRINUSE;
    case QAbstractSocket::SocketAccessError:
        return EACCES;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return EADDRNOTAVAIL;
    case QAbstractSocket::SocketResourceError:
        return EMFILE;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return EOPNOTSUPP;
    case QAbstractSocket::RemoteHostClosedError:
        return ECONNRESET;
    case QAbstractSocket::NetworkError:
        return ENETDOWN;
    default:
        return EIO;
    }
}

// The peer of an accepted connection that no socket object holds yet.
QHostAddress peerOf(qintptr descriptor)
{
    sockaddr_storage peer = {};
    socklen_t size = sizeof peer;
    if (::getpeername(int(descriptor), reinterpret_cast<sockaddr *>(&peer), &size) != 0)
        return QHostAddress();
    return QHostAddress(reinterpret_cast<const sockaddr *>(&peer));
}

} // namespace

Winsocket::Winsocket(QObject *parent)
    : QObject(parent), m_listener(new Listener(this)), m_connection(new QTcpSocket(this))
{
    connect(m_listener, &Listener::connectionRequest, this, &Winsocket::onConnectionRequest);
    connect(m_listener, &QTcpServer::acceptError, this, &Winsocket::onAcceptError);
    // One connection waits to be taken, no more: one that comes while the
    // first still waits is refused, as it is once the first has been taken,
    // rather than accepted by the system and then dropped.
    m_listener->setListenBacklogSize(0);
    connect(m_connection, &QTcpSocket::readyRead, this, &Winsocket::onReadyRead);
    connect(m_connection, &QTcpSocket::bytesWritten, this, &Winsocket::onBytesWritten);
}

Winsocket::~Winsocket() = default;

Winsocket::State Winsocket::state() const
{
    if (m_listener->isListening())
        return Listening;
    if (m_connection->state() != QAbstractSocket::UnconnectedState)
        return Connected;
    return Closed;
}

void Winsocket::close()
{
    if (m_listener->isListening())
        m_listener->close();
    dropConnection();
}

void Winsocket::dropConnection()
{
    m_backedUp = false;
    if (m_connection->state() != QAbstractSocket::UnconnectedState) {
        // Hand what is still buffered to the system, which delivers it
        // after the close; then let go of the connection at once.
        m_connection->flush();
        m_connection->abort();
    }
}

void Winsocket::onConnectionRequest(qintptr requestId)
{
    if (!m_allowList.isEmpty()) {
        const QHostAddress peer = peerOf(requestId);
        if (!m_allowList.allows(peer)) {
            ::close(int(requestId));
            emit connectionRefused(AllowList::normalized(peer));
            return;
        }
    }
    emit connectionRequest(requestId);
}

void Winsocket::setLocalPort(quint16 port)
{
    m_localPort = port;
}

// The connection goes only after listening has begun: its peer, seeing it
// end, may connect again at once and must not find the port closed.
bool Winsocket::listen()
{
    if (m_listener->isListening())
        m_listener->close();
    const bool listening = m_listener->listen(QHostAddress::Any, m_localPort);
    if (!listening)
        setError(systemErrorNumber(m_listener->serverError()), m_listener->errorString());
    dropConnection();
    return listening;
}

bool Winsocket::accept(qintptr requestId)
{
    if (m_connection->state() != QAbstractSocket::UnconnectedState)
        m_connection->abort();
    m_backedUp = false;
    m_connection->setReadBufferSize(ReceiveLimit);
    if (!m_connection->setSocketDescriptor(requestId)) {
        setError(systemErrorNumber(m_connection->error()), m_connection->errorString());
        ::close(static_cast<int>(requestId));
        return false;
    }
    // Replies leave at once instead of waiting for the peer's acknowledgement.
    // Set only now: on a socket without a connection the option is dropped.
    m_connection->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

QString Winsocket::remoteHostIP() const
{
    const QHostAddress peer = m_connection->peerAddress();
    bool isIPv4 = false;
    const quint32 ipv4 = peer.toIPv4Address(&isIPv4);
    return isIPv4 ? QHostAddress(ipv4).toString() : peer.toString();
}

// In one piece of the size available; readAll() grows its result step by
// step and reads once more to find the end.
QByteArray Winsocket::getData()
{
    QByteArray data(m_connection->bytesAvailable(), Qt::Uninitialized);
    const qint64 got = m_connection->read(data.data(), data.size());
    data.resize(got > 0 ? got : 0);
    return data;
}

bool Winsocket::sendData(int16_t value)
{
    if (m_connection->state() != QAbstractSocket::ConnectedState) {
        setError(ENOTCONN, tr("The socket is not connected"));
        return false;
    }
    const protocol::ReplyBytes reply = protocol::replyBytes(value);
    const qsizetype size = protocol::ReplySize;
    // Straight to the system while nothing waits in the socket's buffer.
    const qsizetype direct = m_connection->bytesToWrite() == 0
        ? sendAtOnce(m_connection->socketDescriptor(), QByteArrayView(reply.data(), size))
        : 0;
    if (direct == size)
        return true;
    if (m_connection->write(reply.data() + direct, size - direct) != size - direct) {
        setError(systemErrorNumber(m_connection->error()), m_connection->errorString());
        return false;
    }
    m_connection->flush();
    m_backedUp = m_connection->bytesToWrite() >= ReplyBacklogLimit;
    return true;
}

void Winsocket::onReadyRead()
{
    emit dataArrival(m_connection->bytesAvailable());
}

void Winsocket::onBytesWritten()
{
    if (m_backedUp && m_connection->bytesToWrite() < ReplyBacklogLimit) {
        m_backedUp = false;
        emit repliesDrained();
    }
}

// A listener whose accept fails (also when the peer gave up before it was
// taken) stops taking connections; the socket goes on listening instead.
// The pause keeps a lasting failure (no file descriptors left) from spinning.
void Winsocket::onAcceptError()
{
    QTimer::singleShot(AcceptRetryInterval, this, [this] {
        if (m_listener->isListening())
            m_listener->resumeAccepting();
    });
}

void Winsocket::setError(int number, const QString &text)
{
    m_error = number;
    m_errorString = text;
}

} // namespace ferrolink
