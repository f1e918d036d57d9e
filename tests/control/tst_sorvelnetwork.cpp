// The control in network mode against a recording server on 127.0.0.1:2001:
// the requests on the wire, the heartbeat, replies matched to the reads that
// asked for them, reads that cannot be answered, a server that stops
// reading, leaving network mode, and the message box of a failed connection.
#include "calllog.h"
#include "messageboxcloser.h"
#include "protocol.h"
#include "recordingserver.h"
#include "residentsize.h"
#include "serverconnection.h"
#include "sorvel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

constexpr quint16 Port = ferrolink::protocol::Port;

qint64 timed(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.elapsed();
}

// This process's resident size in KiB, -1 if unknown.
long ownResidentKiB()
{
    return residentKiB(QCoreApplication::applicationPid());
}

} // namespace

class TestSorvelNetwork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void connectsAndBeatsEveryTwoSeconds();
    void requestsOnTheWire_data();
    void requestsOnTheWire();
    void readsReturnTheirReply_data();
    void readsReturnTheirReply();
    void testWalksTheBitOverTheWire();
    void nestedReadGetsItsOwnReply();
    void strayReplyIsDropped();
    void unansweredReadGivesUpAndItsLateReplyGoesToNoOne();
    void aReplyInPiecesAroundTheDeadlineShiftsNoReply_data();
    void aReplyInPiecesAroundTheDeadlineShiftsNoReply();
    void aServerThatStopsReadingIsNotQueuedForWithoutEnd();
    void serverClosingEndsTheWaitingRead();
    void nestedUnansweredReadsEachWaitTheirOwnTime();
    void writesPastAFullSocketArriveWholeAndInOrder();
    void leavingNetworkMode_data();
    void leavingNetworkMode();
    void refusedConnectionShowsTheBox();
    void cleanup();

private:
    std::unique_ptr<Sorvel> connectedControl();

    RecordingServer m_server;
    CallLog m_log;
    std::unique_ptr<MessageBoxCloser> m_boxes;
    std::unique_ptr<Sorvel> m_control;
};

void TestSorvelNetwork::initTestCase()
{
    QVERIFY(m_server.listen(Port));
    m_log.clear();
}

void TestSorvelNetwork::init()
{
    m_boxes = std::make_unique<MessageBoxCloser>();
    m_server.clearReceived();
    m_server.setAnswering(true);
    m_server.setReading(true);
    m_server.setDigitalInput(5);
}

void TestSorvelNetwork::cleanup()
{
    // No library calls in network mode (leaving tests check theirs).
    if (QByteArray(QTest::currentTestFunction()) != "leavingNetworkMode")
        QCOMPARE(m_log.lines(), QStringList());
}

std::unique_ptr<Sorvel> TestSorvelNetwork::connectedControl()
{
    auto control = std::make_unique<Sorvel>();
    const int before = m_server.connections();
    control->IP(QStringLiteral("127.0.0.1"));
    if (m_server.connections() != before + 1)
        return nullptr;
    return control;
}

void TestSorvelNetwork::connectsAndBeatsEveryTwoSeconds()
{
    m_control = std::make_unique<Sorvel>();
    const qint64 took = timed([this] { m_control->IP(QStringLiteral("127.0.0.1")); });
    const qint64 connectedAt = m_server.elapsed();
    QVERIFY2(took >= 4000 && took < 5000, qPrintable(QString::number(took)));
    QCOMPARE(m_server.connections(), 1);
    QVERIFY(m_server.hasClient());

    QTRY_VERIFY_WITH_TIMEOUT(m_server.heartbeatTimes().size() >= 3, 8000);
    const QList<qint64> beats = m_server.heartbeatTimes();
    QVERIFY2(qAbs(beats[0] - connectedAt - 2000) < 300, qPrintable(QString::number(beats[0])));
    for (int i = 1; i < 3; ++i) {
        const qint64 gap = beats[i] - beats[i - 1];
        QVERIFY2(gap > 1800 && gap < 2300, qPrintable(QString::number(gap)));
    }
    QCOMPARE(m_server.requests(), QByteArrayList());
    QCOMPARE(m_boxes->count(), 0);
}

void TestSorvelNetwork::requestsOnTheWire_data()
{
    QTest::addColumn<QByteArray>("member");
    QTest::addColumn<qint16>("value");
    QTest::addColumn<qint16>("writtenBack");
    QTest::addColumn<QByteArray>("request");

    QTest::newRow("Ausgabe 5") << QByteArray("Ausgabe") << qint16(5) << qint16(5)
                               << QByteArray("5S");
    QTest::newRow("Ausgabe 0") << QByteArray("Ausgabe") << qint16(0) << qint16(0)
                               << QByteArray("0S");
    QTest::newRow("Ausgabe 300") << QByteArray("Ausgabe") << qint16(300) << qint16(255)
                                 << QByteArray("255S");
    QTest::newRow("Ausgabe -5") << QByteArray("Ausgabe") << qint16(-5) << qint16(0)
                                << QByteArray("0S");
    QTest::newRow("Analogkanal 5")
        << QByteArray("Analogkanal") << qint16(5) << qint16(2) << QByteArray("2B");
    QTest::newRow("Analogkanal 0")
        << QByteArray("Analogkanal") << qint16(0) << qint16(1) << QByteArray("1B");
    QTest::newRow("Analogsend 1000")
        << QByteArray("Analogsend") << qint16(1000) << qint16(255) << QByteArray("255C");
    QTest::newRow("Analogsend 200")
        << QByteArray("Analogsend") << qint16(200) << qint16(200) << QByteArray("200C");
    QTest::newRow("Analogwert -1")
        << QByteArray("Analogwert") << qint16(-1) << qint16(-1) << QByteArray("-1A");
    QTest::newRow("Analogwert 300")
        << QByteArray("Analogwert") << qint16(300) << qint16(300) << QByteArray("300A");
}

void TestSorvelNetwork::requestsOnTheWire()
{
    QFETCH(QByteArray, member);
    QFETCH(qint16, value);
    QFETCH(qint16, writtenBack);
    QFETCH(QByteArray, request);
    QVERIFY(m_control);

    // Once by name, once directly: the same request each time.
    qint16 variable = value;
    QVERIFY(QMetaObject::invokeMethod(m_control.get(), member.constData(), Qt::DirectConnection,
                                      Q_ARG(qint16 &, variable)));
    QCOMPARE(variable, writtenBack);
    variable = value;
    qint16 result = 0;
    if (member == "Ausgabe")
        m_control->Ausgabe(variable);
    else if (member == "Analogkanal")
        m_control->Analogkanal(variable);
    else if (member == "Analogsend")
        m_control->Analogsend(variable);
    else
        result = m_control->Analogwert(variable);
    QCOMPARE(variable, writtenBack);
    QTRY_COMPARE(m_server.requests(), QByteArrayList({ request, request }));
    if (member == "Analogwert")
        QCOMPARE(result, qint16(1000 + value));
}

void TestSorvelNetwork::readsReturnTheirReply_data()
{
    QTest::addColumn<qint16>("input");
    QTest::newRow("5 (0x05 0x00)") << qint16(5);
    QTest::newRow("255") << qint16(255);
    QTest::newRow("-2 (0xfe 0xff)") << qint16(-2);
    QTest::newRow("0x1234") << qint16(0x1234);
}

void TestSorvelNetwork::readsReturnTheirReply()
{
    QFETCH(qint16, input);
    QVERIFY(m_control);
    m_server.setDigitalInput(input);
    QCOMPARE(m_control->Eingabe(), input);
    QCOMPARE(m_server.requests(), QByteArrayList({ "R" }));
}

void TestSorvelNetwork::testWalksTheBitOverTheWire()
{
    QVERIFY(m_control);
    m_control->Test();
    QTRY_COMPARE(m_server.requests(),
                 QByteArrayList({ "1S", "2S", "4S", "8S", "16S", "32S", "64S", "128S" }));
    QList<qint64> times;
    for (const RecordingServer::Received &item : m_server.received()) {
        if (item.request != "K")
            times.append(item.at);
    }
    for (int i = 1; i < times.size(); ++i) {
        const qint64 gap = times[i] - times[i - 1];
        QVERIFY2(gap >= 490 && gap < 800, qPrintable(QString::number(gap)));
    }
}

void TestSorvelNetwork::nestedReadGetsItsOwnReply()
{
    QVERIFY(m_control);
    // The reply to "R" is held back; meanwhile a handler of the host reads
    // an analog input. Both replies then arrive together, in order.
    m_server.holdReplies({ 300 });
    qint16 inner = 0;
    QTimer::singleShot(50, this, [this, &inner] {
        qint16 channel = 3;
        inner = m_control->Analogwert(channel);
    });
    const qint16 outer = m_control->Eingabe();
    QCOMPARE(m_server.requests(), QByteArrayList({ "R", "3A" }));
    QCOMPARE(inner, qint16(1003));
    QCOMPARE(outer, qint16(5));
}

void TestSorvelNetwork::strayReplyIsDropped()
{
    QVERIFY(m_control);
    auto *socket = m_control->findChild<QTcpSocket *>(QStringLiteral("Winsock1"));
    QVERIFY(socket);
    QSignalSpy arrived(socket, &QTcpSocket::readyRead);
    m_server.sendRaw(ferrolink::protocol::encodeReply(77));
    QTRY_VERIFY(arrived.count() > 0);

    QCOMPARE(m_control->Eingabe(), qint16(5));
    m_server.setDigitalInput(6);
    QCOMPARE(m_control->Eingabe(), qint16(6));
}

void TestSorvelNetwork::unansweredReadGivesUpAndItsLateReplyGoesToNoOne()
{
    QVERIFY(m_control);
    // The first reply comes after the control has given up on it.
    m_server.holdReplies({ 5600 });
    m_server.setDigitalInput(11);
    qint16 first = -1;
    const qint64 took = timed([&] { first = m_control->Eingabe(); });
    QCOMPARE(first, qint16(0));
    QVERIFY2(took >= 5000 && took < 5500, qPrintable(QString::number(took)));

    // It comes while the next read waits, and is dropped: that read gets
    // its own reply, and so does every read after it.
    m_server.setDigitalInput(22);
    QCOMPARE(m_control->Eingabe(), qint16(22));
    m_server.setDigitalInput(33);
    QCOMPARE(m_control->Eingabe(), qint16(33));
    QCOMPARE(m_server.requests(), QByteArrayList({ "R", "R", "R" }));
}

void TestSorvelNetwork::aReplyInPiecesAroundTheDeadlineShiftsNoReply_data()
{
    // Sent unasked 4.8, 5.3 and 5.4 s after the first read began; it gives
    // up at 5 s, and the second read begins then.
    QTest::addColumn<QByteArrayList>("pieces");
    const QByteArray late = ferrolink::protocol::encodeReply(11);
    const QByteArray own = ferrolink::protocol::encodeReply(22);
    QTest::newRow("late reply split by the deadline")
        << QByteArrayList({ late.left(1), late.mid(1) + own });
    QTest::newRow("the next reply split as well")
        << QByteArrayList({ late.left(1), late.mid(1) + own.left(1), own.mid(1) });
}

void TestSorvelNetwork::aReplyInPiecesAroundTheDeadlineShiftsNoReply()
{
    QFETCH(QByteArrayList, pieces);
    QVERIFY(m_control);
    m_server.setAnswering(false);
    const int at[] = { 4800, 5300, 5400 };
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        QTimer::singleShot(at[i], Qt::PreciseTimer, &m_server,
                           [this, piece = pieces[i]] { m_server.sendRaw(piece); });
    }
    QCOMPARE(m_control->Eingabe(), qint16(0));
    QCOMPARE(m_control->Eingabe(), qint16(22));

    m_server.setAnswering(true);
    m_server.setDigitalInput(33);
    QCOMPARE(m_control->Eingabe(), qint16(33));
    QCOMPARE(m_server.requests(), QByteArrayList({ "R", "R", "R" }));
}

void TestSorvelNetwork::aServerThatStopsReadingIsNotQueuedForWithoutEnd()
{
    constexpr int MaxWrites = 1000000;
    constexpr long GrowthLimitKiB = 4096;
    QVERIFY(m_control);
    auto *socket = m_control->findChild<QTcpSocket *>(QStringLiteral("Winsock1"));
    QVERIFY(socket);
    // A small system buffer: what the control queues itself shows at once.
    socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 4096);
    const int connections = m_server.connections();
    m_server.setReading(false);
    // Whatever happens here, the next case finds the server reading and
    // nothing queued.
    const auto drain = qScopeGuard([this, socket] {
        m_server.setReading(true);
        static_cast<void>(QTest::qWaitFor([socket] { return socket->bytesToWrite() == 0; }, 5000));
    });

    // Writes as fast as a host makes them, for at most 3 s.
    const long before = ownResidentKiB();
    QElapsedTimer clock;
    clock.start();
    int written = 0;
    qint64 mostQueued = 0;
    while (written < MaxWrites && clock.elapsed() < 3000) {
        qint16 value = qint16(written % 256);
        m_control->Ausgabe(value);
        if (++written % 1000 == 0) {
            QCoreApplication::processEvents();
            mostQueued = std::max(mostQueued, socket->bytesToWrite());
        }
    }
    const long growth = ownResidentKiB() - before;
    // The bound, and the one request that passed it.
    QVERIFY2(mostQueued < ferrolink::ServerConnection::PendingOutputLimit + 8,
             qPrintable(QString::number(mostQueued)));
    // The sanitizers keep freed memory from reuse for a while: there the
    // queue's bound above is all that can be seen.
    if (!FERROLINK_SANITIZED) {
        QVERIFY2(
            growth < GrowthLimitKiB,
            qPrintable(QStringLiteral("grew by %1 KiB in %2 writes").arg(growth).arg(written)));
    }

    // A read meanwhile returns 0 at once; the connection stays.
    qint16 value = -1;
    const qint64 took = timed([&] { value = m_control->Eingabe(); });
    QCOMPARE(value, qint16(0));
    QVERIFY2(took < 100, qPrintable(QString::number(took)));
    QCOMPARE(socket->state(), QAbstractSocket::ConnectedState);

    // Reading again, the server gets the writes that were not lost, each
    // whole; the next read gets its own reply.
    m_server.setReading(true);
    QTRY_COMPARE(socket->bytesToWrite(), qint64(0));
    m_server.setDigitalInput(9);
    QCOMPARE(m_control->Eingabe(), qint16(9));
    const QByteArrayList requests = m_server.requests();
    QVERIFY(!requests.isEmpty());
    QCOMPARE(requests.last(), QByteArray("R"));
    const qsizetype writes = requests.size() - 1;
    QVERIFY2(writes > 0 && writes < written, qPrintable(QString::number(writes)));
    QCOMPARE(requests.first(), QByteArray("0S"));
    for (qsizetype i = 0; i < writes; ++i) {
        bool isNumber = false;
        const int number = requests[i].chopped(1).toInt(&isNumber);
        QVERIFY2(requests[i].endsWith('S') && isNumber && number >= 0 && number < 256,
                 requests[i].constData());
    }
    QCOMPARE(m_server.connections(), connections);
    QCOMPARE(m_boxes->count(), 0);
}

void TestSorvelNetwork::serverClosingEndsTheWaitingRead()
{
    QVERIFY(m_control);
    m_server.setAnswering(false);
    QTimer::singleShot(300, &m_server, &RecordingServer::dropClient);
    qint16 value = -1;
    const qint64 took = timed([&] { value = m_control->Eingabe(); });
    QCOMPARE(value, qint16(0));
    QVERIFY2(took >= 250 && took < 2000, qPrintable(QString::number(took)));

    // Gone: reads return at once, writes are skipped, nothing is sent.
    const qint64 again = timed([&] { value = m_control->Eingabe(); });
    QCOMPARE(value, qint16(0));
    QVERIFY2(again < 100, qPrintable(QString::number(again)));
    qint16 output = 3;
    m_control->Ausgabe(output);
    // The heartbeat goes on ticking without a connection.
    auto *timer = m_control->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer && timer->isActive());
    QSignalSpy ticks(timer, &QTimer::timeout);
    QVERIFY(ticks.wait(3000));

    // An orderly close is no problem to report.
    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_server.requests(), QByteArrayList({ "R" }));
    m_control.reset();
}

void TestSorvelNetwork::nestedUnansweredReadsEachWaitTheirOwnTime()
{
    const std::unique_ptr<Sorvel> control = connectedControl();
    QVERIFY(control);
    // Neither read is answered in time (nor the one after them). The inner
    // one, begun a second after the outer, waits its own full time, not
    // what was left of the outer's.
    m_server.holdReplies({ 7000, 7000, 7000 });
    qint16 inner = -1;
    qint64 innerTook = -1;
    QTimer::singleShot(1000, this, [&] { innerTook = timed([&] { inner = control->Eingabe(); }); });
    qint16 outer = -1;
    const qint64 outerTook = timed([&] { outer = control->Eingabe(); });
    QCOMPARE(inner, qint16(0));
    QCOMPARE(outer, qint16(0));
    QVERIFY2(innerTook >= 5000 && innerTook < 5500, qPrintable(QString::number(innerTook)));
    QVERIFY2(outerTook >= 6000 && outerTook < 6700, qPrintable(QString::number(outerTook)));

    // The next read waits its full time again; the read after it gets its
    // own reply, behind the three late ones, which go to no one.
    const qint64 again = timed([&] { outer = control->Eingabe(); });
    QVERIFY2(again >= 5000 && again < 5500, qPrintable(QString::number(again)));
    m_server.setDigitalInput(9);
    QCOMPARE(control->Eingabe(), qint16(9));
}

void TestSorvelNetwork::writesPastAFullSocketArriveWholeAndInOrder()
{
    const std::unique_ptr<Sorvel> control = connectedControl();
    QVERIFY(control);
    auto *socket = control->findChild<QTcpSocket *>(QStringLiteral("Winsock1"));
    QVERIFY(socket);
    socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 4096);
    // Nothing is read while the writes go out, so the system's buffers
    // fill and the socket's own buffer takes the rest; a few hundred more
    // writes follow. Then one pass of the event loop lets the server take
    // some, and the next round writes into the room that made.
    QByteArrayList expected;
    bool buffered = false;
    for (int round = 0; round < 10; ++round) {
        int more = 200;
        for (int i = 0; i < 200000 && more > 0; ++i) {
            qint16 value = qint16(expected.size() % 256);
            expected.append(QByteArray::number(value) + 'S');
            control->Ausgabe(value);
            if (socket->bytesToWrite() > 0)
                --more;
        }
        buffered = buffered || socket->bytesToWrite() > 0;
        QCoreApplication::processEvents();
    }
    QVERIFY(buffered);
    QTRY_COMPARE_WITH_TIMEOUT(m_server.requests().size(), expected.size(), 20000);
    QCOMPARE(m_server.requests(), expected);
}

void TestSorvelNetwork::leavingNetworkMode_data()
{
    QTest::addColumn<QByteArray>("member");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("heartbeatStopsAtOnce");
    QTest::newRow("lokalstart") << QByteArray("lokalstart") << QStringList { "INITSIOS 1" } << true;
    QTest::newRow("simuliert") << QByteArray("simuliert") << QStringList { "CLOSECOM" } << false;
    QTest::newRow("IP") << QByteArray("IP") << QStringList {} << false;
}

void TestSorvelNetwork::leavingNetworkMode()
{
    QFETCH(QByteArray, member);
    QFETCH(QStringList, calls);
    QFETCH(bool, heartbeatStopsAtOnce);

    m_log.clear();
    std::unique_ptr<Sorvel> control = connectedControl();
    QVERIFY(control);
    qint16 channel = 2;
    control->Analogkanal(channel); // goes to the server, not to Ausgabekanal
    QTRY_COMPARE(m_server.requests(), QByteArrayList({ "2B" }));
    m_server.clearReceived();
    const int connections = m_server.connections();

    QElapsedTimer clock;
    clock.start();
    const qint64 start = m_server.elapsed();
    if (member == "IP")
        control->IP(QStringLiteral("127.0.0.1"));
    else
        QVERIFY(QMetaObject::invokeMethod(control.get(), member.constData(), Qt::DirectConnection));
    const qint64 took = clock.elapsed();

    // "I" first, the connection closed a second later, then the library.
    QCOMPARE(m_server.requests(), QByteArrayList({ "I" }));
    const qint64 goodbye = m_server.received().constFirst().at;
    QVERIFY2(goodbye - start < 100, qPrintable(QString::number(goodbye - start)));
    QTRY_VERIFY(m_server.disconnectedAt() >= goodbye);
    const qint64 closedAfter = m_server.disconnectedAt() - goodbye;
    QVERIFY2(closedAfter >= 1000 && closedAfter < 1300, qPrintable(QString::number(closedAfter)));
    QCOMPARE(m_log.lines(), calls);

    auto *timer = control->findChild<QTimer *>(QStringLiteral("Timer1"));
    if (member == "IP") {
        QVERIFY2(took >= 5000 && took < 6000, qPrintable(QString::number(took)));
        QCOMPARE(m_server.connections(), connections + 1);
        QVERIFY(timer->isActive());
        return;
    }
    QVERIFY2(took >= 1000 && took < 1500, qPrintable(QString::number(took)));
    QCOMPARE(timer->isActive(), !heartbeatStopsAtOnce);
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 2500);

    // Local again, with the channel of local mode untouched by the server's.
    m_log.clear();
    qint16 value = 9;
    control->Analogsend(value);
    QCOMPARE(m_log.lines(), QStringList({ "AOUT 0 9" }));
    m_log.clear();
    QCOMPARE(m_server.requests(), QByteArrayList({ "I" }));
}

void TestSorvelNetwork::refusedConnectionShowsTheBox()
{
    m_server.stopListening();
    Sorvel control;
    control.IP(QStringLiteral("127.0.0.1"));
    QCOMPARE(m_boxes->texts(), QStringList({ "TCP/IP Problem!" }));
    QVERIFY(m_boxes->plain());

    // In network mode all the same: reads return 0 at once without the
    // library, writes go nowhere without an error, the heartbeat runs.
    qputenv("FAKE_RSAPI_DIN", "42");
    qint16 value = -1;
    const qint64 took = timed([&] { value = control.Eingabe(); });
    QCOMPARE(value, qint16(0));
    QVERIFY2(took < 100, qPrintable(QString::number(took)));
    qint16 output = 1;
    control.Ausgabe(output);
    auto *timer = control.findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer->isActive());
    QSignalSpy ticks(timer, &QTimer::timeout);
    QVERIFY(ticks.wait(3000));
    QCOMPARE(m_boxes->count(), 1);
    QVERIFY(m_server.listen(Port));
}

QTEST_MAIN(TestSorvelNetwork)
#include "tst_sorvelnetwork.moc"
