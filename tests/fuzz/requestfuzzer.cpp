// Fuzz target for taking requests out of the received byte stream
// (RequestSplitter) and for reading their numbers (protocol::readNumber).
//
// The input's first byte chooses how the rest is used:
//   bit 0      0: the rest is a raw byte stream;
//              1: the rest describes well-formed requests ("5S", "-1A",
//                 "+007.25C", "R"), whose values are known in advance
//   bits 1-5   how many bytes at the end of the input give the sizes of the
//              pieces the stream arrives in (0: all at once)
//   bits 6-7   how many requests are taken after each piece (0: all there are)
//
// Whatever the input, these must hold (a broken one aborts, which the fuzzer
// reports as a crash):
//   - the requests taken one by one cover the stream in order; each is at
//     most MaxTail number characters and its letter, or a tail of exactly
//     MaxTail + 1 number characters given out without a letter;
//   - after the splitter says "nothing complete", at most MaxTail bytes wait;
//   - the requests do not depend on how the stream was cut into pieces;
//   - each request's value is what readNumber reads from its number part, 0
//     when that overflowed;
//   - readNumber ignores blanks and agrees with a plain decimal conversion
//     rounded half to even on numbers without blanks;
//   - well-formed requests come out exactly once each, with their values.
#include "protocol.h"
#include "request.h"
#include "requestsplitter.h"

#include <QByteArray>
#include <QList>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace ferrolink;

namespace {

[[noreturn]] void fail(const char *condition, const char *file, int line, const QByteArray &text)
{
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n  text: \"%s\"\n", file, line, condition,
                 text.toPercentEncoding(" +-.").constData());
    std::abort();
}

#define FUZZ_CHECK(condition, text)                                                                \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fail(#condition, __FILE__, __LINE__, text);                                            \
    } while (false)

// One request as the splitter gave it out, with the bytes it was made from.
struct Taken
{
    Request request;
    QByteArray text;
};

bool sameRequest(const Request &a, const Request &b)
{
    return a.letter == b.letter && a.value == b.value && a.overflow == b.overflow;
}

// The fuzzer's input, taken apart as the first byte says.
struct Plan
{
    bool wellFormed = false;
    int takePerPiece = 0; // 0: every complete request
    QByteArray body;
    QByteArray pieceSizes;
};

Plan makePlan(const uint8_t *data, size_t size)
{
    Plan plan;
    if (size == 0)
        return plan;
    const auto all = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const uint8_t control = data[0];
    const qsizetype sizes = qMin(qsizetype((control >> 1) & 0x1f), all.size() - 1);
    plan.wellFormed = control & 1;
    plan.takePerPiece = control >> 6;
    plan.body = all.sliced(1, all.size() - 1 - sizes);
    plan.pieceSizes = all.last(sizes);
    return plan;
}

// Feeds `stream` in pieces of the given sizes (used in turn; all at once when
// there are none) and takes up to `takePerPiece` requests after each piece,
// then everything that is left.
QList<Taken> split(const QByteArray &stream, const QByteArray &pieceSizes, int takePerPiece)
{
    RequestSplitter splitter;
    QList<Taken> taken;
    qsizetype fed = 0;
    qsizetype given = 0;

    const auto takeOne = [&]() -> bool {
        const qsizetype before = splitter.pending();
        FUZZ_CHECK(before == fed - given, stream);
        const std::optional<Request> request = splitter.next();
        const qsizetype length = before - splitter.pending();
        if (!request) {
            FUZZ_CHECK(length == 0, stream);
            FUZZ_CHECK(splitter.pending() <= RequestSplitter::MaxTail, stream);
            return false;
        }
        FUZZ_CHECK(length >= 1 && given + length <= fed, stream);
        taken.append({ *request, stream.sliced(given, length) });
        given += length;
        return true;
    };

    int sumOfSizes = 0;
    for (const char size : pieceSizes)
        sumOfSizes += uint8_t(size);
    for (qsizetype round = 0; fed < stream.size(); ++round) {
        qsizetype size = stream.size() - fed;
        if (!pieceSizes.isEmpty() && sumOfSizes > 0)
            size = qMin(size, qsizetype(uint8_t(pieceSizes[round % pieceSizes.size()])));
        splitter.feed(QByteArrayView(stream).sliced(fed, size));
        fed += size;
        for (int i = 0; takePerPiece == 0 || i < takePerPiece; ++i) {
            if (!takeOne())
                break;
        }
    }
    while (takeOne()) { }
    return taken;
}

bool isPlainNumber(const QByteArray &text)
{
    qsizetype i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i] == '.' && !point)
            point = true;
        else if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

// Digits from the first one that is not zero, whole and fraction together.
int significantDigits(const QByteArray &plain)
{
    int count = 0;
    for (const char c : plain) {
        if (c >= '1' && c <= '9')
            ++count;
        else if (c == '0' && count > 0)
            ++count;
    }
    return count;
}

int wholeDigitsBeyondLeadingZeros(const QByteArray &plain)
{
    int count = 0;
    for (const char c : plain) {
        if (c == '.')
            break;
        if ((c >= '1' && c <= '9') || (c == '0' && count > 0))
            ++count;
    }
    return count;
}

// The plain decimal conversion, rounded to the nearest, halves to even. Exact
// enough only for numbers of at most 15 significant digits.
std::optional<int16_t> referenceNumber(const QByteArray &plain)
{
    QByteArray unsigned_ = plain;
    const bool negative = unsigned_.startsWith('-');
    if (unsigned_.startsWith('-') || unsigned_.startsWith('+'))
        unsigned_.remove(0, 1);
    double value = 0;
    std::from_chars(unsigned_.constData(), unsigned_.constData() + unsigned_.size(), value);
    const double rounded = std::nearbyint(negative ? -value : value);
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return int16_t(rounded);
}

void checkReadNumber(const QByteArray &number)
{
    const std::optional<int16_t> read = protocol::readNumber(number);

    QByteArray withoutBlanks = number;
    withoutBlanks.replace(' ', "").replace('\t', "").replace('\n', "");
    FUZZ_CHECK(protocol::readNumber(withoutBlanks) == read, number);

    if (!isPlainNumber(withoutBlanks))
        return;
    if (wholeDigitsBeyondLeadingZeros(withoutBlanks) > 5)
        FUZZ_CHECK(!read, number);
    if (significantDigits(withoutBlanks) <= 15)
        FUZZ_CHECK(read == referenceNumber(withoutBlanks), number);
}

void checkTaken(const Taken &taken)
{
    const QByteArray &text = taken.text;
    const char last = text.back();
    const bool hasLetter = !protocol::isNumberCharacter(last);
    const QByteArray number = hasLetter ? text.chopped(1) : text;

    for (const char c : number)
        FUZZ_CHECK(protocol::isNumberCharacter(c), text);
    if (hasLetter) {
        FUZZ_CHECK(taken.request.letter == last, text);
        FUZZ_CHECK(number.size() <= RequestSplitter::MaxTail, text);
    } else {
        FUZZ_CHECK(taken.request.letter == Request::NoLetter, text);
        FUZZ_CHECK(text.size() == RequestSplitter::MaxTail + 1, text);
    }

    const std::optional<int16_t> value = protocol::readNumber(number);
    FUZZ_CHECK(taken.request.overflow == !value, text);
    FUZZ_CHECK(taken.request.value == value.value_or(0), text);
    checkReadNumber(number);
}

// Well-formed requests built from the body, five bytes each, with the value
// each must come out with, worked out in whole numbers.
struct WellFormed
{
    QByteArray stream;
    QList<Request> expected;
};

Request expectedRequest(char letter, bool negative, qint64 whole, qint64 fraction,
                        int fractionDigits)
{
    qint64 scale = 1;
    for (int i = 0; i < fractionDigits; ++i)
        scale *= 10;
    qint64 magnitude = whole;
    if (fractionDigits > 0) {
        const qint64 half = scale / 2;
        if (fraction > half || (fraction == half && magnitude % 2 == 1))
            ++magnitude;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    Request request;
    request.letter = letter;
    if (value < -32768 || value > 32767)
        request.overflow = true;
    else
        request.value = int16_t(value);
    return request;
}

WellFormed wellFormedRequests(const QByteArray &body)
{
    static const char Letters[] = { 'S', 'R', 'A', 'B', 'C', 'I', 'K' };
    WellFormed made;
    for (qsizetype at = 0; at + 5 <= body.size(); at += 5) {
        const auto byte = [&](int i) { return uint8_t(body[at + i]); };
        const char letter = Letters[byte(0) % 7];
        const int sign = byte(1) & 3; // none, "-", "+", none
        const int zeros = (byte(1) >> 2) & 3; // leading zeros
        const int fractionDigits = qMin((byte(1) >> 4) & 3, 2);
        const int wholeForm = byte(1) >> 6; // 8, 16 or 24 bits, or no whole digits
        qint64 whole = byte(2);
        if (wholeForm >= 1)
            whole |= qint64(byte(3)) << 8;
        if (wholeForm == 2)
            whole |= qint64(byte(4) & 0x7f) << 16;
        const bool hasWhole = wholeForm != 3;
        const qint64 fraction = fractionDigits == 1 ? byte(4) % 10 : byte(4) % 100;

        if (!hasWhole && fractionDigits == 0) {
            made.stream += letter;
            made.expected.append(expectedRequest(letter, false, 0, 0, 0));
            continue;
        }
        QByteArray text;
        if (sign == 1)
            text += '-';
        else if (sign == 2)
            text += '+';
        text += QByteArray(zeros, '0');
        if (hasWhole)
            text += QByteArray::number(whole);
        if (fractionDigits > 0)
            text += '.' + QByteArray::number(fraction).rightJustified(fractionDigits, '0');
        made.stream += text + letter;
        made.expected.append(
            expectedRequest(letter, sign == 1, hasWhole ? whole : 0, fraction, fractionDigits));
    }
    return made;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Plan plan = makePlan(data, size);
    const WellFormed made = plan.wellFormed ? wellFormedRequests(plan.body) : WellFormed();
    const QByteArray &stream = plan.wellFormed ? made.stream : plan.body;

    const QList<Taken> whole = split(stream, {}, 0);
    const QList<Taken> pieces = split(stream, plan.pieceSizes, plan.takePerPiece);

    FUZZ_CHECK(whole.size() == pieces.size(), stream);
    qsizetype covered = 0;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        checkTaken(whole[i]);
        FUZZ_CHECK(pieces[i].text == whole[i].text, stream);
        FUZZ_CHECK(sameRequest(pieces[i].request, whole[i].request), stream);
        covered += whole[i].text.size();
    }

    if (plan.wellFormed) {
        FUZZ_CHECK(covered == stream.size(), stream);
        FUZZ_CHECK(whole.size() == made.expected.size(), stream);
        for (qsizetype i = 0; i < whole.size(); ++i)
            FUZZ_CHECK(sameRequest(whole[i].request, made.expected[i]), whole[i].text);
    }

    // The body read as one number, whatever follows it.
    checkReadNumber(plan.body);
    return 0;
}
