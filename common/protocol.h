// The request and reply texts of the remote I/O protocol.
#ifndef FERROLINK_PROTOCOL_H
#define FERROLINK_PROTOCOL_H

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <cstdint>
#include <optional>

// The remote I/O protocol: a client sends short texts, the server answers
// reads with two bytes.
//
//   request  = [decimal number] letter      e.g. "5S", "200C", "-1A", "R"
//   reply    = int16, little-endian, 2 bytes
//
// Letters: S write digital outputs, R read digital inputs (answered),
// A read analog input <number> (answered), B choose analog output channel,
// C write analog output, I goodbye (server resets), K heartbeat.
namespace ferrolink::protocol {

constexpr uint16_t Port = 2001;
constexpr int ReplySize = 2;

constexpr char WriteDigital = 'S';
constexpr char ReadDigital = 'R';
constexpr char ReadAnalog = 'A';
constexpr char ChooseAnalogChannel = 'B';
constexpr char WriteAnalog = 'C';
constexpr char Goodbye = 'I';
constexpr char Heartbeat = 'K';

// A client clamps what it writes before it sends it: digital and analog
// output values to 0..255, the analog output channel to 1..2. The server
// carries out what it receives unchecked.
constexpr int16_t clampOutputValue(int16_t value)
{
    return value < 0 ? int16_t(0) : value > 255 ? int16_t(255) : value;
}
constexpr int16_t clampAnalogChannel(int16_t channel)
{
    return channel < 1 ? int16_t(1) : channel > 2 ? int16_t(2) : channel;
}

// "R", "I", "K": the letter alone.
QByteArray encodeRequest(char letter);
// "5S", "-1A": the decimal value, then the letter.
QByteArray encodeRequest(int16_t value, char letter);

// The number at the start of `text`: blanks, tabs and line feeds are skipped
// wherever they stand, then an optional sign, digits and an optional
// fraction after "." are read; the first character that cannot continue the
// number ends it ("e", "&" and "x" included). The value is rounded to the
// nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// No number gives 0. A value outside -32768..32767 gives std::nullopt.
std::optional<int16_t> readNumber(QByteArrayView text);

// Whether `c` can stand inside a request's number: digits, sign, ".",
// blank, tab, line feed. The first other character is a request's letter.
bool isNumberCharacter(char c);

// The two bytes of a reply, low byte first; without an allocation.
using ReplyBytes = std::array<char, ReplySize>;
constexpr ReplyBytes replyBytes(int16_t value)
{
    const auto bits = static_cast<uint16_t>(value);
    return { static_cast<char>(bits & 0xff), static_cast<char>(bits >> 8) };
}
QByteArray encodeReply(int16_t value);
int16_t decodeReply(char low, char high);

// The 32-bit value as 16 bits; throws Error(Error::Overflow) when it does
// not fit.
int16_t toInt16(int32_t value);

} // namespace ferrolink::protocol

#endif
