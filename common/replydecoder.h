// Takes 2-byte replies out of the bytes a client receives.
#ifndef FERROLINK_REPLYDECODER_H
#define FERROLINK_REPLYDECODER_H

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <optional>

namespace ferrolink {

// Takes 2-byte replies out of received bytes: every complete reply of an
// arrival comes out, an odd byte waits for the next feed().
class ReplyDecoder
{
public:
    void feed(QByteArrayView bytes);
    std::optional<int16_t> next();
    void clear();

private:
    QByteArray m_buffer;
};

} // namespace ferrolink

#endif
