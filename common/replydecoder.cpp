// Takes 2-byte replies out of the bytes a client receives.
#include "replydecoder.h"

#include "protocol.h"

namespace ferrolink {

void ReplyDecoder::feed(QByteArrayView bytes)
{
    m_buffer.append(bytes);
}

std::optional<int16_t> ReplyDecoder::next()
{
    if (m_buffer.size() < protocol::ReplySize)
        return std::nullopt;
    const int16_t value = protocol::decodeReply(m_buffer[0], m_buffer[1]);
    m_buffer.remove(0, protocol::ReplySize);
    return value;
}

void ReplyDecoder::clear()
{
    m_buffer.clear();
}

} // namespace ferrolink
