// Hands bytes straight to the system on a connected socket, without Qt's buffer.
#include "sendatonce.h"

#include <cerrno>

#include <sys/socket.h>

namespace ferrolink {

qsizetype sendAtOnce(qintptr descriptor, QByteArrayView bytes)
{
    if (descriptor < 0 || bytes.isEmpty())
        return 0;
    ssize_t sent;
    do {
        sent = ::send(int(descriptor), bytes.data(), size_t(bytes.size()),
                      MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (sent < 0 && errno == EINTR);
    return sent > 0 ? qsizetype(sent) : 0;
}

} // namespace ferrolink
