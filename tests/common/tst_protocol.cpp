// The request/reply codec: number reading and rounding, request encoding,
// splitting a byte stream into requests, taking replies out of received bytes.
#include "error.h"
#include "protocol.h"
#include "replydecoder.h"
#include "requestsplitter.h"

#include <QTest>

using namespace ferrolink;

Q_DECLARE_METATYPE(std::optional<int16_t>)

namespace {

QList<Request> drain(RequestSplitter &splitter)
{
    QList<Request> requests;
    for (int guard = 0; guard < 100000; ++guard) {
        const auto request = splitter.next();
        if (!request)
            break;
        requests.append(*request);
    }
    return requests;
}

QString describe(const QList<Request> &requests)
{
    QStringList parts;
    for (const Request &r : requests) {
        const QString letter = r.letter == Request::NoLetter ? QStringLiteral("<none>")
                                                             : QString(QChar::fromLatin1(r.letter));
        parts.append(QString::number(r.value) + letter + (r.overflow ? "!" : ""));
    }
    return parts.join(u' ');
}

} // namespace

class TestProtocol : public QObject
{
    Q_OBJECT

private slots:
    void encodesRequestsAsDecimalTextThenLetter();
    void readsTheNumberAtTheStartOfARequest_data();
    void readsTheNumberAtTheStartOfARequest();
    void convertsToSixteenBitsWithAnOverflowError();
    void splitsAStreamIntoRequests_data();
    void splitsAStreamIntoRequests();
    void keepsAnIncompleteRequestForTheNextArrival();
    void dropsATailLongerThanTheBound();
    void encodesAndDecodesRepliesLittleEndian();
    void takesEveryCompleteReplyAndKeepsAnOddByte();
};

void TestProtocol::encodesRequestsAsDecimalTextThenLetter()
{
    QCOMPARE(protocol::encodeRequest(5, 'S'), QByteArray("5S"));
    QCOMPARE(protocol::encodeRequest(200, 'C'), QByteArray("200C"));
    QCOMPARE(protocol::encodeRequest(-1, 'A'), QByteArray("-1A"));
    QCOMPARE(protocol::encodeRequest(0, 'S'), QByteArray("0S"));
    QCOMPARE(protocol::encodeRequest(-32768, 'A'), QByteArray("-32768A"));
    QCOMPARE(protocol::encodeRequest('R'), QByteArray("R"));
    QCOMPARE(protocol::encodeRequest('K'), QByteArray("K"));
}

void TestProtocol::readsTheNumberAtTheStartOfARequest_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<std::optional<int16_t>>("value");
    using V = std::optional<int16_t>;

    QTest::newRow("plain") << QByteArray("255S") << V(255);
    QTest::newRow("letter alone") << QByteArray("R") << V(0);
    QTest::newRow("empty") << QByteArray() << V(0);
    QTest::newRow("negative") << QByteArray("-1A") << V(-1);
    QTest::newRow("plus sign") << QByteArray("+7S") << V(7);
    QTest::newRow("blanks anywhere") << QByteArray(" 1 2\t3\n4S") << V(1234);
    QTest::newRow("blank after sign") << QByteArray("- 5") << V(-5);
    QTest::newRow("half to even down") << QByteArray("2.5") << V(2);
    QTest::newRow("half to even up") << QByteArray("3.5") << V(4);
    QTest::newRow("negative half") << QByteArray("-2.5") << V(-2);
    QTest::newRow("negative half up") << QByteArray("-3.5") << V(-4);
    QTest::newRow("5.5 writes 6") << QByteArray("5.5S") << V(6);
    QTest::newRow("4.5 writes 4") << QByteArray("4.5S") << V(4);
    QTest::newRow("just above half") << QByteArray("2.5000001") << V(3);
    QTest::newRow("below half") << QByteArray("2.4999") << V(2);
    QTest::newRow("fraction only") << QByteArray(".6") << V(1);
    QTest::newRow("point alone") << QByteArray(".S") << V(0);
    QTest::newRow("second point ends") << QByteArray("1.5.9") << V(2);
    QTest::newRow("sign alone") << QByteArray("-S") << V(0);
    QTest::newRow("second sign ends") << QByteArray("5-3S") << V(5);
    QTest::newRow("leading zeros") << QByteArray("0007S") << V(7);
    QTest::newRow("largest") << QByteArray("32767S") << V(32767);
    QTest::newRow("smallest") << QByteArray("-32768S") << V(-32768);
    QTest::newRow("rounds into range") << QByteArray("-32768.5") << V(-32768);
    QTest::newRow("just over") << QByteArray("32768S") << V();
    QTest::newRow("rounds out of range") << QByteArray("32767.5") << V();
    QTest::newRow("99999") << QByteArray("99999S") << V();
    QTest::newRow("very long") << QByteArray(200, '9') << V();
    QTest::newRow("long zeros") << QByteArray(200, '0') + "12" << V(12);
    QTest::newRow("hex is not a number") << QByteArray("&H10S") << V(0);
    QTest::newRow("0x stops at x") << QByteArray("0x1FS") << V(0);
    QTest::newRow("exponent stops at e") << QByteArray("1e3S") << V(1);
    QTest::newRow("letter first") << QByteArray("S5") << V(0);
    QTest::newRow("carriage return ends") << QByteArray("1\r2") << V(1);
}

void TestProtocol::readsTheNumberAtTheStartOfARequest()
{
    QFETCH(QByteArray, text);
    QFETCH(std::optional<int16_t>, value);
    QCOMPARE(protocol::readNumber(text), value);
}

void TestProtocol::convertsToSixteenBitsWithAnOverflowError()
{
    QCOMPARE(protocol::toInt16(1), int16_t(1));
    QCOMPARE(protocol::toInt16(-32768), int16_t(-32768));
    QCOMPARE(protocol::toInt16(32767), int16_t(32767));
    for (const int32_t tooBig : { 32768, -32769, 2147483647 }) {
        try {
            protocol::toInt16(tooBig);
            QFAIL("no overflow error");
        } catch (const Error &error) {
            QCOMPARE(error.number(), int(Error::Overflow));
        }
    }
}

void TestProtocol::splitsAStreamIntoRequests_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("requests");

    QTest::newRow("one write") << QByteArray("255S") << "255S";
    QTest::newRow("read") << QByteArray("R") << "0R";
    QTest::newRow("two writes") << QByteArray("5S7S") << "5S 7S";
    QTest::newRow("read then write") << QByteArray("3A2S") << "3A 2S";
    QTest::newRow("every letter") << QByteArray("1SRK3A2B100CI") << "1S 0R 0K 3A 2B 100C 0I";
    QTest::newRow("lower case is a letter") << QByteArray("5s") << "5s";
    QTest::newRow("unknown letter") << QByteArray("X") << "0X";
    QTest::newRow("overflow") << QByteArray("99999S1S") << "0S! 1S";
    QTest::newRow("fraction") << QByteArray("5.5S") << "6S";
    QTest::newRow("blanks inside") << QByteArray("1 2S") << "12S";
    QTest::newRow("digits only wait") << QByteArray("123") << "";
    QTest::newRow("negative channel") << QByteArray("-1A") << "-1A";
}

void TestProtocol::splitsAStreamIntoRequests()
{
    QFETCH(QByteArray, stream);
    QFETCH(QString, requests);

    RequestSplitter whole;
    whole.feed(stream);
    QCOMPARE(describe(drain(whole)), requests);

    // The same stream byte by byte gives the same requests.
    RequestSplitter pieces;
    QList<Request> collected;
    for (const char byte : stream) {
        pieces.feed(QByteArrayView(&byte, 1));
        collected += drain(pieces);
    }
    QCOMPARE(describe(collected), requests);
}

void TestProtocol::keepsAnIncompleteRequestForTheNextArrival()
{
    RequestSplitter splitter;
    splitter.feed("7S25");
    QCOMPARE(describe(drain(splitter)), QString("7S"));
    QCOMPARE(splitter.pending(), 2);
    splitter.feed("5S");
    QCOMPARE(describe(drain(splitter)), QString("255S"));
    QCOMPARE(splitter.pending(), 0);

    // A connection that ends forgets its tail.
    splitter.feed("12");
    splitter.clear();
    splitter.feed("S");
    QCOMPARE(describe(drain(splitter)), QString("0S"));
}

void TestProtocol::dropsATailLongerThanTheBound()
{
    RequestSplitter splitter;
    // Exactly the bound, then the letter: still one request.
    splitter.feed(QByteArray(RequestSplitter::MaxTail - 1, ' ') + "5");
    QVERIFY(!splitter.next());
    splitter.feed("S");
    QCOMPARE(describe(drain(splitter)), QString("5S"));

    // One byte more is dropped as a request without a letter.
    splitter.feed(QByteArray(RequestSplitter::MaxTail + 1, '1'));
    const QList<Request> dropped = drain(splitter);
    QCOMPARE(dropped.size(), 1);
    QCOMPARE(dropped[0].letter, Request::NoLetter);
    QCOMPARE(splitter.pending(), 0);

    // A megabyte of digits never holds more than the bound.
    for (int i = 0; i < 1024; ++i) {
        splitter.feed(QByteArray(1024, '7'));
        drain(splitter);
        QVERIFY(splitter.pending() <= RequestSplitter::MaxTail);
    }
    splitter.feed("R");
    const QList<Request> after = drain(splitter);
    QVERIFY(!after.isEmpty());
    QCOMPARE(after.last().letter, 'R');
}

void TestProtocol::encodesAndDecodesRepliesLittleEndian()
{
    QCOMPARE(protocol::encodeReply(5), QByteArray("\x05\x00", 2));
    QCOMPARE(protocol::encodeReply(-1), QByteArray("\xff\xff", 2));
    QCOMPARE(protocol::encodeReply(0x1234), QByteArray("\x34\x12", 2));
    QCOMPARE(protocol::encodeReply(-32768), QByteArray("\x00\x80", 2));
    for (const int16_t value : { int16_t(0), int16_t(255), int16_t(-2), int16_t(32767) }) {
        const QByteArray bytes = protocol::encodeReply(value);
        QCOMPARE(protocol::decodeReply(bytes[0], bytes[1]), value);
    }
}

void TestProtocol::takesEveryCompleteReplyAndKeepsAnOddByte()
{
    ReplyDecoder decoder;
    decoder.feed(protocol::encodeReply(5) + protocol::encodeReply(300));
    QCOMPARE(decoder.next(), std::optional<int16_t>(5));
    QCOMPARE(decoder.next(), std::optional<int16_t>(300));
    QCOMPARE(decoder.next(), std::nullopt);

    const QByteArray reply = protocol::encodeReply(-1234);
    decoder.feed(reply.first(1));
    QCOMPARE(decoder.next(), std::nullopt);
    decoder.feed(reply.sliced(1) + protocol::encodeReply(7).first(1));
    QCOMPARE(decoder.next(), std::optional<int16_t>(-1234));
    QCOMPARE(decoder.next(), std::nullopt);
    decoder.clear();
    decoder.feed(protocol::encodeReply(9));
    QCOMPARE(decoder.next(), std::optional<int16_t>(9));
}

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
