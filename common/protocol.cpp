// Encodes requests and replies and reads a request's number.
#include "protocol.h"

#include "error.h"

#include <limits>

namespace ferrolink::protocol {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The magnitude of a number as it is read, kept exact: the integer part (as
// long as it can still fit 16 bits), the first fraction digit and whether
// any later fraction digit is not zero. That is all rounding to the nearest,
// halves to even, needs.
struct Magnitude
{
    static constexpr long Limit = 100000; // beyond every 16-bit value

    long whole = 0;
    int firstFraction = -1;
    bool laterFraction = false;
    bool digits = false;

    void addWholeDigit(char c)
    {
        digits = true;
        if (whole < Limit)
            whole = whole * 10 + (c - '0');
    }

    void addFractionDigit(char c)
    {
        digits = true;
        if (firstFraction < 0)
            firstFraction = c - '0';
        else if (c != '0')
            laterFraction = true;
    }

    long rounded() const
    {
        const bool above = firstFraction > 5 || (firstFraction == 5 && laterFraction);
        const bool half = firstFraction == 5 && !laterFraction;
        return whole + ((above || (half && whole % 2 == 1)) ? 1 : 0);
    }
};

} // namespace

QByteArray encodeRequest(char letter)
{
    return QByteArray(1, letter);
}

QByteArray encodeRequest(int16_t value, char letter)
{
    return QByteArray::number(value) + letter;
}

bool isNumberCharacter(char c)
{
    return isDigit(c) || isBlank(c) || c == '+' || c == '-' || c == '.';
}

std::optional<int16_t> readNumber(QByteArrayView text)
{
    enum class Stage { Sign, Whole, Fraction };
    Stage stage = Stage::Sign;
    bool negative = false;
    Magnitude magnitude;

    for (const char c : text) {
        if (isBlank(c))
            continue;
        if (stage == Stage::Sign && (c == '+' || c == '-')) {
            negative = c == '-';
            stage = Stage::Whole;
        } else if (isDigit(c)) {
            if (stage == Stage::Fraction)
                magnitude.addFractionDigit(c);
            else
                magnitude.addWholeDigit(c);
            if (stage == Stage::Sign)
                stage = Stage::Whole;
        } else if (c == '.' && stage != Stage::Fraction) {
            stage = Stage::Fraction;
        } else {
            break;
        }
    }

    if (!magnitude.digits)
        return int16_t(0);
    const long value = negative ? -magnitude.rounded() : magnitude.rounded();
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return int16_t(value);
}

QByteArray encodeReply(int16_t value)
{
    const ReplyBytes bytes = replyBytes(value);
    return QByteArray(bytes.data(), ReplySize);
}

int16_t decodeReply(char low, char high)
{
    const auto bits
        = static_cast<uint16_t>(static_cast<uint8_t>(low) | (static_cast<uint8_t>(high) << 8));
    return static_cast<int16_t>(bits);
}

int16_t toInt16(int32_t value)
{
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        throw Error(Error::Overflow, "Overflow");
    return static_cast<int16_t>(value);
}

} // namespace ferrolink::protocol
