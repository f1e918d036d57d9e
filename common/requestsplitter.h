// Splits the bytes a server receives into requests.
#ifndef FERROLINK_REQUESTSPLITTER_H
#define FERROLINK_REQUESTSPLITTER_H

#include "request.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace ferrolink {

// Takes requests one by one out of a received byte stream.
//
// A request ends at the first byte that cannot stand in its number (see
// protocol::isNumberCharacter); that byte is its letter. Several requests in
// one arrival come out one after another; a request whose letter has not
// arrived yet waits for the next feed(). A waiting tail longer than
// MaxTail bytes is given out as one request without a letter, so a peer
// cannot make the buffer grow.
class RequestSplitter
{
public:
    static constexpr int MaxTail = 64;

    void feed(QByteArrayView bytes);
    // The next complete request, or nullopt when none is complete.
    std::optional<Request> next();
    // Forgets everything fed and not yet taken (the connection ended).
    void clear();

    // Bytes fed but not yet given out.
    qsizetype pending() const { return m_buffer.size() - m_position; }

private:
    QByteArray m_buffer;
    qsizetype m_position = 0;
};

} // namespace ferrolink

#endif
