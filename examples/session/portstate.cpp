#include "portstate.h"

#include <QByteArray>
#include <QFile>
#include <QList>

namespace {

// A line of /proc/net/tcp: "sl local_address rem_address st ...", the local
// address as hex "ADDR:PORT", the state 0A for LISTEN.
bool listensIn(const char *table, quint16 port)
{
    QFile file(QString::fromLatin1(table));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    file.readLine(); // the heading
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().simplified().split(' ');
        if (fields.size() > 3 && fields.at(1).endsWith(local) && fields.at(3) == "0A")
            return true;
    }
    return false;
}

} // namespace

bool PortState::listening(quint16 port)
{
    return listensIn("/proc/net/tcp", port) || listensIn("/proc/net/tcp6", port);
}
