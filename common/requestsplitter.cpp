// Splits the bytes a server receives into requests, one letter at a time.
#include "requestsplitter.h"

#include "protocol.h"

namespace ferrolink {

namespace {

Request makeRequest(QByteArrayView number, char letter)
{
    Request request;
    request.letter = letter;
    if (const auto value = protocol::readNumber(number))
        request.value = *value;
    else
        request.overflow = true;
    return request;
}

} // namespace

void RequestSplitter::feed(QByteArrayView bytes)
{
    // Drop what was given out already before the buffer grows.
    if (m_position > 0) {
        m_buffer.remove(0, m_position);
        m_position = 0;
    }
    m_buffer.append(bytes);
}

std::optional<Request> RequestSplitter::next()
{
    const QByteArrayView rest = QByteArrayView(m_buffer).sliced(m_position);
    for (qsizetype i = 0; i < rest.size(); ++i) {
        if (!protocol::isNumberCharacter(rest[i])) {
            m_position += i + 1;
            return makeRequest(rest.first(i), rest[i]);
        }
        if (i + 1 > MaxTail) {
            m_position += i + 1;
            return makeRequest(rest.first(i + 1), Request::NoLetter);
        }
    }
    if (m_position == m_buffer.size())
        clear();
    return std::nullopt;
}

void RequestSplitter::clear()
{
    m_buffer.clear();
    m_position = 0;
}

} // namespace ferrolink
