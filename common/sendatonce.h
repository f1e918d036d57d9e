// Hands bytes straight to the system on a connected socket, without Qt's buffer.
#ifndef FERROLINK_SENDATONCE_H
#define FERROLINK_SENDATONCE_H

#include <QByteArrayView>
#include <QtGlobal>

namespace ferrolink {

// Hands `bytes` to the system on the connected socket `descriptor` at once,
// without waiting and without SIGPIPE, as a Qt socket does when its write
// buffer is empty; but it does not arm and disarm the socket's write
// notification on the way, which in an event loop on GLib costs a wake-up
// each (a write and a read of an event descriptor and one more pass).
//
// Returns the bytes the system took, 0 on any failure. The caller gives the
// rest to the socket's own write(), which then meets and reports a failure
// as it always does. Call it only while the socket's buffer is empty, so
// that the bytes keep their order.
qsizetype sendAtOnce(qintptr descriptor, QByteArrayView bytes);

} // namespace ferrolink

#endif
