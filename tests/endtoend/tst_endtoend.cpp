// A host with a real Sorvel drives the real halvex over 127.0.0.1:2001; the
// recording interface library on the server's side shows what reached the
// interface.
#include "calllog.h"
#include "delay.h"
#include "halvexclient.h"
#include "halvexprocess.h"
#include "messageboxcloser.h"

#include <sorvel.h>

#include <QElapsedTimer>
#include <QTest>

#include <csignal>

using ferrolink::delay;

namespace {

// The times (ms on `clock`) at which each new DOUT call appeared in the log,
// sampled every few milliseconds while the event loop runs.
class DoutTimes : public QObject
{
public:
    DoutTimes(const CallLog &log, const QElapsedTimer &clock) : m_log(log), m_clock(clock)
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const QList<int> values = m_log.arguments("DOUT");
            while (m_values.size() < values.size()) {
                m_values.append(values[m_values.size()]);
                m_times.append(m_clock.elapsed());
            }
        });
        m_timer.start();
    }
    QList<int> values() const { return m_values; }
    QList<qint64> times() const { return m_times; }

private:
    const CallLog &m_log;
    const QElapsedTimer &m_clock;
    QTimer m_timer;
    QList<int> m_values;
    QList<qint64> m_times;
};

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_log.clear(); }
    void aWriteAndAReadTakeTheirRoad();
    void testArrivesAsEightWritesHalfASecondApart();
    void theHeartbeatOutlivesTheWatchdog();
    void leavingNetworkModeFreesTheServerAtOnce_data();
    void leavingNetworkModeFreesTheServerAtOnce();
    void aSecondControlIsRefusedAndTold();
    void aReadReturnsWhenTheServerGoesAway();

private:
    HalvexProcess m_halvex;
    CallLog m_log;
    MessageBoxCloser m_boxes;
};

void TestEndToEnd::initTestCase()
{
    m_halvex.setEnvironment("FAKE_RSAPI_DIN", "165");
    m_halvex.setEnvironment("FAKE_RSAPI_AIN_BASE", "200");
    QVERIFY(m_halvex.startAndWaitUntilListening());
}

void TestEndToEnd::aWriteAndAReadTakeTheirRoad()
{
    Sorvel control;
    control.IP(QStringLiteral("127.0.0.1"));

    qint16 value = 5;
    control.Ausgabe(value);
    QTRY_COMPARE(m_log.calls("DOUT"), QStringList { "DOUT 5" });
    value = 300;
    control.Ausgabe(value);
    QCOMPARE(value, qint16(255));
    QTRY_COMPARE(m_log.calls("DOUT"), QStringList({ "DOUT 5", "DOUT 255" }));

    QCOMPARE(control.Eingabe(), qint16(165));
    qint16 channel = 3;
    QCOMPARE(control.Analogwert(channel), qint16(203));
    qint16 number = 7;
    control.Analogkanal(number);
    qint16 level = 99;
    control.Analogsend(level);
    QTRY_VERIFY(m_log.lines().contains("AOUT 2 99"));
    QVERIFY(m_boxes.texts().isEmpty());

    control.simuliert();
}

void TestEndToEnd::testArrivesAsEightWritesHalfASecondApart()
{
    Sorvel control;
    control.IP(QStringLiteral("127.0.0.1"));
    QElapsedTimer clock;
    clock.start();
    DoutTimes arrivals(m_log, clock);
    control.Test();
    QTRY_COMPARE(arrivals.values(), QList<int>({ 1, 2, 4, 8, 16, 32, 64, 128 }));
    const QList<qint64> times = arrivals.times();
    for (int i = 1; i < times.size(); ++i) {
        const qint64 gap = times[i] - times[i - 1];
        QVERIFY2(gap >= 400 && gap <= 700, qPrintable(QString("gap %1 ms").arg(gap)));
    }
    control.simuliert();
}

void TestEndToEnd::theHeartbeatOutlivesTheWatchdog()
{
    Sorvel control;
    control.IP(QStringLiteral("127.0.0.1"));
    // Longer than the watchdog could let a silent client stay.
    delay(16.0f);
    QCOMPARE(control.Eingabe(), qint16(165));
    HalvexClient other;
    QVERIFY(!other.connectToServer());
    control.simuliert();
}

void TestEndToEnd::leavingNetworkModeFreesTheServerAtOnce_data()
{
    QTest::addColumn<bool>("viaLokalstart");
    QTest::newRow("lokalstart") << true;
    QTest::newRow("simuliert") << false;
}

void TestEndToEnd::leavingNetworkModeFreesTheServerAtOnce()
{
    QFETCH(bool, viaLokalstart);
    Sorvel control;
    control.IP(QStringLiteral("127.0.0.1"));
    QCOMPARE(control.Eingabe(), qint16(165));
    if (viaLokalstart)
        control.lokalstart();
    else
        control.simuliert();

    // Far sooner than the watchdog would free it.
    HalvexClient next;
    QVERIFY(next.connectWithin(1500));
    next.send("R");
    QCOMPARE(next.replies(1), QList<int16_t> { 165 });
    next.send("I");
    QVERIFY(next.waitForServerClose(3000));
}

void TestEndToEnd::aSecondControlIsRefusedAndTold()
{
    Sorvel first;
    first.IP(QStringLiteral("127.0.0.1"));
    m_boxes.clear();
    Sorvel second;
    second.IP(QStringLiteral("127.0.0.1"));
    QCOMPARE(m_boxes.texts(), QStringList { "TCP/IP Problem!" });

    // The refused one reads nothing and does not hang; the first still works.
    QCOMPARE(second.Eingabe(), qint16(0));
    QCOMPARE(first.Eingabe(), qint16(165));
    second.simuliert();
    first.simuliert();
}

void TestEndToEnd::aReadReturnsWhenTheServerGoesAway()
{
    Sorvel control;
    control.IP(QStringLiteral("127.0.0.1"));
    QCOMPARE(control.Eingabe(), qint16(165));

    // The server freezes, then dies while the read waits for its reply.
    m_halvex.signal(SIGSTOP);
    QTimer::singleShot(500, this, [this] { m_halvex.kill(); });
    QElapsedTimer waited;
    waited.start();
    QCOMPARE(control.Eingabe(), qint16(0));
    QVERIFY2(waited.elapsed() < 4000, qPrintable(QString::number(waited.elapsed())));

    // The host goes on; a new IP reaches the restarted server.
    HalvexProcess restarted;
    restarted.setEnvironment("FAKE_RSAPI_DIN", "99");
    QVERIFY(restarted.startAndWaitUntilListening());
    control.IP(QStringLiteral("127.0.0.1"));
    QCOMPARE(control.Eingabe(), qint16(99));
    control.simuliert();
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
