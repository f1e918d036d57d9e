// halvex against a client that pipelines reads and never takes a reply, on
// the simulated interface, so that the server answers at full speed. The
// server must stop taking requests instead of holding their replies and the
// bytes behind them, and go on serving once the client has gone.
#include "halvexclient.h"
#include "halvexprocess.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

constexpr int Watchdog = 15000 + 3000; // longest drop of a silent client, with slack
constexpr int PipelineMs = 5000;
// Far above what the bounds of the server let it hold (three buffers of
// 64 KiB), below what 5 s of unbounded queuing costs.
constexpr long GrowthLimitKiB = 512;

} // namespace

class TestServerBacklog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void holdsBackAClientThatNeverReadsItsReplies_data();
    void holdsBackAClientThatNeverReadsItsReplies();

private:
    // A fresh one for each case: memory freed after one case would hide
    // the growth of the next.
    std::unique_ptr<HalvexProcess> m_halvex;
};

void TestServerBacklog::init()
{
    m_halvex = std::make_unique<HalvexProcess>();
    QVERIFY(m_halvex->startAndWaitUntilListening());
}

void TestServerBacklog::cleanup()
{
    m_halvex.reset();
}

void TestServerBacklog::holdsBackAClientThatNeverReadsItsReplies_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("R") << QByteArray("R");
    QTest::newRow("255A") << QByteArray("255A");
}

void TestServerBacklog::holdsBackAClientThatNeverReadsItsReplies()
{
    QFETCH(QByteArray, request);
    HalvexClient greedy;
    QVERIFY(greedy.beServed(5000));
    // A full read buffer of one byte: nothing more is read, and the small
    // system buffer behind it soon fills.
    greedy.socket().setReadBufferSize(1);
    greedy.socket().setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
    const long residentBefore = m_halvex->residentKiB();
    long mostResident = residentBefore;

    const QByteArray batch = request.repeated(16 * 1024 / request.size());
    qint64 sent = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < PipelineMs && greedy.isConnected()) {
        if (greedy.socket().bytesToWrite() < batch.size()) {
            greedy.socket().write(batch);
            sent += batch.size() / request.size();
        }
        QTest::qWait(1);
        mostResident = std::max(mostResident, m_halvex->residentKiB());
    }
    const long growth = mostResident - residentBefore;
    qInfo("%lld requests sent, resident size of halvex grew by up to %ld KiB", sent, growth);
    // The sanitizers keep freed memory from reuse for a while: there the
    // server's memory shows nothing of its bounds.
    if (!FERROLINK_SANITIZED)
        QVERIFY2(growth < GrowthLimitKiB, qPrintable(QString("grew by %1 KiB").arg(growth)));
    QVERIFY(m_halvex->isRunning());

    // Gone, the client leaves the server free for the next one at the
    // latest after the watchdog.
    greedy.close();
    HalvexClient next;
    QVERIFY(next.beServed(Watchdog));
    next.send("3A");
    QCOMPARE(next.replies(1).size(), 1);
    next.send("I");
    QVERIFY(next.waitForServerClose(3000));
}

QTEST_GUILESS_MAIN(TestServerBacklog)
#include "tst_serverbacklog.moc"
