// halvex against broken and hostile clients: floods of garbage, a storm of
// connection attempts, clients that vanish or half-close. The server must
// neither crash nor wedge, and its memory must stay bounded.
#include "calllog.h"
#include "halvexclient.h"
#include "halvexprocess.h"

#include <QRandomGenerator>
#include <QTest>

#include <sys/socket.h>

namespace {

constexpr int Watchdog = 15000 + 3000; // longest drop of a silent client, with slack
constexpr qint64 MiB = 1024 * 1024;

// Sends `bytes` in pieces, as fast as the connection takes them; stops early
// when the server has closed the connection.
void flood(HalvexClient &client, const QByteArray &bytes)
{
    constexpr qsizetype Piece = 64 * 1024;
    for (qsizetype at = 0; at < bytes.size() && client.isConnected(); at += Piece) {
        client.socket().write(bytes.mid(at, Piece));
        const bool written = QTest::qWaitFor(
            [&] { return client.socket().bytesToWrite() == 0 || !client.isConnected(); }, 5000);
        if (!written)
            break;
    }
}

} // namespace

class TestServerFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void keepsServingAfterAFlood_data();
    void keepsServingAfterAFlood();
    void refusesEveryOtherClientWhileOneIsServed();
    void dropsAClientThatGoesSilent_data();
    void dropsAClientThatGoesSilent();

private:
    // A new client is served: its write and read arrive and are answered.
    void verifyServesANewClient(int timeoutMs);

    HalvexProcess m_halvex;
    CallLog m_log;
};

void TestServerFaults::initTestCase()
{
    m_halvex.setEnvironment("FAKE_RSAPI_DIN", "77");
    QVERIFY(m_halvex.startAndWaitUntilListening());
}

void TestServerFaults::init()
{
    // Whatever an earlier case left behind, the server listens again at the
    // latest after its watchdog.
    QVERIFY(HalvexProcess::waitUntilListening(Watchdog));
    m_log.clear();
}

void TestServerFaults::verifyServesANewClient(int timeoutMs)
{
    HalvexClient next;
    QVERIFY(next.beServed(timeoutMs));
    next.send("42S");
    next.send("R");
    QCOMPARE(next.replies(1), QList<int16_t> { 77 });
    const QStringList lines = m_log.lines();
    QCOMPARE(lines.mid(lines.size() - 2), QStringList({ "DOUT 42", "DIN" }));
    next.send("I");
    QVERIFY(next.waitForServerClose(3000));
}

void TestServerFaults::keepsServingAfterAFlood_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QRandomGenerator random(20261207);
    QByteArray noise(MiB, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    QTest::newRow("random bytes") << noise;
    // Digits without a letter, then a goodbye that must still be understood.
    QTest::newRow("digits only") << QByteArray(MiB, '7') + "I";
}

void TestServerFaults::keepsServingAfterAFlood()
{
    QFETCH(QByteArray, bytes);
    const long residentBefore = m_halvex.residentKiB();

    HalvexClient client;
    QVERIFY(client.beServed(5000));
    flood(client, bytes);
    client.close();

    QVERIFY(m_halvex.isRunning());
    // Random bytes hold "I"s, digits end with one: the server is free again at
    // once, or at the latest after its watchdog.
    verifyServesANewClient(Watchdog);
    const long growth = m_halvex.residentKiB() - residentBefore;
    QVERIFY2(growth < 8 * 1024, qPrintable(QString("grew by %1 KiB").arg(growth)));
}

void TestServerFaults::refusesEveryOtherClientWhileOneIsServed()
{
    HalvexClient served;
    QVERIFY(served.beServed(5000));
    m_log.clear();

    int refused = 0;
    QList<int> written;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        QTcpSocket other;
        other.connectToHost(QHostAddress::LocalHost, HalvexClient::Port);
        if (!other.waitForConnected(2000)
            && other.error() == QAbstractSocket::ConnectionRefusedError)
            ++refused;
        if (attempt % 50 == 0) {
            const int value = attempt / 50;
            served.send(QByteArray::number(value) + 'S');
            written.append(value);
        }
    }
    QCOMPARE(refused, 1000);

    served.send("R");
    QCOMPARE(served.replies(1), QList<int16_t> { 77 });
    QCOMPARE(m_log.arguments("DOUT"), written);
    served.send("I");
    QVERIFY(served.waitForServerClose(3000));
}

void TestServerFaults::dropsAClientThatGoesSilent_data()
{
    QTest::addColumn<bool>("halfClose");
    QTest::newRow("vanishes in the middle of a request") << false;
    QTest::newRow("half-closes its side") << true;
}

void TestServerFaults::dropsAClientThatGoesSilent()
{
    QFETCH(bool, halfClose);
    HalvexClient gone;
    QVERIFY(gone.beServed(5000));
    m_log.clear();
    if (halfClose) {
        gone.send("3S");
        QTRY_COMPARE(m_log.arguments("DOUT"), QList<int> { 3 });
        ::shutdown(int(gone.socket().socketDescriptor()), SHUT_WR);
    } else {
        // The first digits of a request; its letter never comes.
        gone.send("12");
        QTest::qWait(200);
        gone.socket().abort();
    }

    // The unfinished "12" must not stick to the next client's "42S".
    verifyServesANewClient(Watchdog);
    QVERIFY(!m_log.lines().contains("DOUT 1242"));
    QVERIFY(m_halvex.isRunning());
}

QTEST_GUILESS_MAIN(TestServerFaults)
#include "tst_serverfaults.moc"
