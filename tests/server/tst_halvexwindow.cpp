// The server window in the test's process. The recording interface library
// shows what reached the interface, a plain TCP client on 127.0.0.1 plays
// the remote side, and a steerable clock lets the watchdog see time pass
// without waiting for it (the real timings are in tst_halvexwatchdog).
#include "halvex.h"
#include "interfacelibrary.h"
#include "protocol.h"
#include "winsocket.h"

#include "calllog.h"
#include "halvexclient.h"
#include "steerableclock.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <memory>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using ferrolink::Halvex;
using ferrolink::Winsocket;

namespace {

const QStringList Pattern = {
    "DOUT 1",   "DOUT 2",  "DOUT 4",   "DOUT 8",  "DOUT 16",  "DOUT 32", "DOUT 64",
    "DOUT 128", "DOUT 64", "DOUT 32",  "DOUT 16", "DOUT 8",   "DOUT 4",  "DOUT 2",
    "DOUT 1",   "DOUT 0",  "DOUT 170", "DOUT 85", "DOUT 170", "DOUT 85", "DOUT 24",
    "DOUT 36",  "DOUT 66", "DOUT 129", "DOUT 0",
};

constexpr int Wait = 3000; // ms, for anything that happens at once

} // namespace

class TestHalvexWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keepsItsClientAreaFixedBelowTheMenuBar();
    void listensOnlyOnceTheWatchdogFindsItSilent();
    void servesOneClientAtATime();
    void refusesASecondClientWhileTheFirstWaitsToBeTaken();
    void dropsASilentClientAndKeepsOneThatTalks();
    void carriesOutEachRequest_data();
    void carriesOutEachRequest();
    void takesRequestsOneByOneFromTheStream_data();
    void takesRequestsOneByOneFromTheStream();
    void dropsAnUnfinishedRequestWhenTheConnectionEnds();
    void goodbyeEndsTheConnectionAndTheNextClientConnectsAtOnce();
    void keepsTheAnalogChannelAcrossConnectionsAndResets();
    void resetSwitchesTheOutputsOffAndListensAgainLater_data();
    void resetSwitchesTheOutputsOffAndListensAgainLater();
    void endClosesTheSocketAndLeavesTheOutputs_data();
    void endClosesTheSocketAndLeavesTheOutputs();
    void aFailedAcceptKeepsTheServerListening_data();
    void aFailedAcceptKeepsTheServerListening();
    void aFailedListenOnGoodbyeLeavesTheWatchdogOn();
    void patternWritesItsSequenceAndChangesNoText();
    void patternGoesOnServingTheClient();
    void patternChosenAgainPlaysOnceMoreInside();

private:
    QString text(const QString &label) const;
    QStringList texts() const;
    QAction *action(const QString &name) const;
    bool watchdogRuns() const;
    QStringList calls() const;
    bool listenNow();
    bool connectClient(HalvexClient &client);
    bool deliver(HalvexClient &client, const QByteArray &bytes);

    ferrolink::InterfaceLibrary m_library;
    SteerableClock m_clock;
    CallLog m_log;
    std::unique_ptr<Halvex> m_window;
    std::unique_ptr<QSignalSpy> m_beeps;
    std::unique_ptr<QSignalSpy> m_arrivals;
};

void TestHalvexWindow::init()
{
    m_log.clear();
    qunsetenv("FAKE_RSAPI_DIN");
    m_window = std::make_unique<Halvex>(m_library, m_clock);
    m_beeps = std::make_unique<QSignalSpy>(m_window.get(), &Halvex::beeped);
    // Connected after the window's own handler: a recorded arrival has been
    // carried out.
    auto *socket = m_window->findChild<Winsocket *>(QStringLiteral("Winsocket"));
    QVERIFY(socket);
    m_arrivals = std::make_unique<QSignalSpy>(socket, &Winsocket::dataArrival);
}

void TestHalvexWindow::cleanup()
{
    m_arrivals.reset();
    m_beeps.reset();
    m_window.reset();
}

QString TestHalvexWindow::text(const QString &label) const
{
    auto *widget = m_window->findChild<QLabel *>(label);
    return widget ? widget->text() : QStringLiteral("<no %1>").arg(label);
}

// Everything a person reads in the window.
QStringList TestHalvexWindow::texts() const
{
    return { m_window->windowTitle(), text("Label"), text("Label1"), text("Label2") };
}

QAction *TestHalvexWindow::action(const QString &name) const
{
    return m_window->findChild<QAction *>(name);
}

bool TestHalvexWindow::watchdogRuns() const
{
    return m_window->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive();
}

// The calls after start-up's FINDHARD.
QStringList TestHalvexWindow::calls() const
{
    QStringList lines = m_log.lines();
    lines.removeAll(QStringLiteral("FINDHARD 0"));
    return lines;
}

// The watchdog's tick after more than 10 silent seconds.
bool TestHalvexWindow::listenNow()
{
    m_clock.advance(Halvex::SilenceLimit + 1.0);
    m_window->Timer1_Timer();
    return m_window->windowTitle() == QLatin1String("bereit");
}

bool TestHalvexWindow::connectClient(HalvexClient &client)
{
    return client.connectToServer()
        && QTest::qWaitFor([this] { return m_window->windowTitle() == QLatin1String("verbunden"); },
                           Wait);
}

// Sends `bytes` and waits until the server has carried out their arrival.
bool TestHalvexWindow::deliver(HalvexClient &client, const QByteArray &bytes)
{
    const qsizetype before = m_arrivals->count();
    client.send(bytes);
    return QTest::qWaitFor([&] { return m_arrivals->count() > before; }, Wait);
}

void TestHalvexWindow::keepsItsClientAreaFixedBelowTheMenuBar()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCOMPARE(m_window->centralWidget()->size(), QSize(457, 274));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    QCOMPARE(m_window->height(), 274 + m_window->menuBar()->height());
    // Every element lies inside the client area.
    const QRect area = m_window->centralWidget()->rect();
    for (const QWidget *element : m_window->centralWidget()->findChildren<QWidget *>())
        QVERIFY2(area.contains(element->geometry()), qPrintable(element->objectName()));
}

void TestHalvexWindow::listensOnlyOnceTheWatchdogFindsItSilent()
{
    QCOMPARE(texts(), QStringList({ "Ferrolink-Server", "Warten auf Verbindung", "", "" }));
    QCOMPARE(m_log.lines(), QStringList({ "FINDHARD 0" }));
    QVERIFY(watchdogRuns());
    QCOMPARE(m_window->findChild<QTimer *>(QStringLiteral("Timer1"))->interval(), 5000);
    HalvexClient client;
    QVERIFY(!client.connectToServer());

    m_clock.advance(9.5);
    m_window->Timer1_Timer();
    QVERIFY(!client.connectToServer());
    QCOMPARE(m_beeps->count(), 0);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Ferrolink-Server"));

    m_clock.advance(1.0);
    m_window->Timer1_Timer();
    QCOMPARE(texts(), QStringList({ "bereit", "Warten auf Verbindung", "", "kein Datenempfang" }));
    QCOMPARE(m_beeps->count(), 1);
    QVERIFY(!watchdogRuns());

    QVERIFY(connectClient(client));
    QCOMPARE(texts(),
             QStringList({ "verbunden", "Verbunden mit 127.0.0.1", "", "kein Datenempfang" }));
    QVERIFY(watchdogRuns());
    // The server's only set-up call is FINDHARD; it never opens the port.
    QCOMPARE(m_log.lines(), QStringList({ "FINDHARD 0" }));
}

void TestHalvexWindow::servesOneClientAtATime()
{
    QVERIFY(listenNow());
    HalvexClient first, second;
    QVERIFY(connectClient(first));
    QVERIFY(!second.connectToServer());

    qputenv("FAKE_RSAPI_DIN", "21");
    first.send("R");
    QCOMPARE(first.replies(1), QList<int16_t>({ 21 }));

    QVERIFY(deliver(first, "I"));
    QVERIFY(first.waitForServerClose(Wait));
    QVERIFY(connectClient(second));
}

// Plain sockets, so that the connections are made by the system alone while
// the server has not yet run: the first waits to be taken, the second is
// refused, not accepted by the system and dropped later.
void TestHalvexWindow::refusesASecondClientWhileTheFirstWaitsToBeTaken()
{
    QVERIFY(listenNow());
    sockaddr_in server = {};
    server.sin_family = AF_INET;
    server.sin_port = htons(HalvexClient::Port);
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto address = reinterpret_cast<const sockaddr *>(&server);
    const int first = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int second = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const auto closeBoth = qScopeGuard([=] {
        ::close(first);
        ::close(second);
    });
    QCOMPARE(::connect(first, address, sizeof server), 0);
    if (::connect(second, address, sizeof server) != 0)
        QCOMPARE(errno, EINPROGRESS);

    pollfd attempt = { second, POLLOUT, 0 };
    QVERIFY(QTest::qWaitFor([&] { return ::poll(&attempt, 1, 0) == 1; }, Wait));
    int error = 0;
    socklen_t size = sizeof error;
    QCOMPARE(::getsockopt(second, SOL_SOCKET, SO_ERROR, &error, &size), 0);
    QCOMPARE(error, ECONNREFUSED);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("verbunden"));
}

void TestHalvexWindow::dropsASilentClientAndKeepsOneThatTalks()
{
    QVERIFY(listenNow());
    HalvexClient client;
    QVERIFY(connectClient(client));

    m_clock.advance(9.0);
    m_window->Timer1_Timer();
    QVERIFY(deliver(client, "K"));
    QCOMPARE(text("Label2"), QStringLiteral("Heartbeat"));
    // 18 seconds since the connection, 9 since the heartbeat.
    m_clock.advance(9.0);
    m_window->Timer1_Timer();
    QVERIFY(client.isConnected());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("verbunden"));
    QCOMPARE(m_beeps->count(), 1);

    m_clock.advance(2.0);
    m_window->Timer1_Timer();
    QVERIFY(client.waitForServerClose(Wait));
    QCOMPARE(m_beeps->count(), 2);
    QCOMPARE(texts(), QStringList({ "bereit", "Warten auf Verbindung", "0", "kein Datenempfang" }));
    QVERIFY(!watchdogRuns());
    QVERIFY(connectClient(client));
}

void TestHalvexWindow::carriesOutEachRequest_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("din");
    QTest::addColumn<QStringList>("expectedCalls");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("label1");
    QTest::addColumn<QString>("label2");
    QTest::addColumn<int>("beeps");

    const QByteArray none;
    const int din = 77;
    QTest::newRow("255S") << QByteArray("255S") << din << QStringList { "DOUT 255" } << none
                          << "255"
                          << "Schreibe... (D)" << 0;
    QTest::newRow("0S") << QByteArray("0S") << din << QStringList { "DOUT 0" } << none << "0"
                        << "Schreibe... (D)" << 0;
    QTest::newRow("unclamped") << QByteArray("-300S") << din << QStringList { "DOUT -300" } << none
                               << "-300"
                               << "Schreibe... (D)" << 0;
    QTest::newRow("over 32767") << QByteArray("99999S") << din << QStringList { "DOUT 0" } << none
                                << "0"
                                << "Schreibe... (D)" << 0;
    QTest::newRow("blanks") << QByteArray(" 7 S") << din << QStringList { "DOUT 7" } << none << "7"
                            << "Schreibe... (D)" << 0;
    QTest::newRow("R") << QByteArray("R") << 5 << QStringList { "DIN" } << QByteArray("\x05\x00", 2)
                       << "0"
                       << "Lese... (D)" << 0;
    QTest::newRow("R low byte first")
        << QByteArray("R") << 0x0102 << QStringList { "DIN" } << QByteArray("\x02\x01", 2) << "0"
        << "Lese... (D)" << 0;
    QTest::newRow("R negative") << QByteArray("R") << -2 << QStringList { "DIN" }
                                << QByteArray("\xfe\xff", 2) << "0"
                                << "Lese... (D)" << 0;
    QTest::newRow("3A") << QByteArray("3A") << din << QStringList { "AIN 3" }
                        << ferrolink::protocol::encodeReply(1003) << "3"
                        << "Lese... (A)" << 0;
    QTest::newRow("-1A") << QByteArray("-1A") << din << QStringList { "AIN -1" }
                         << ferrolink::protocol::encodeReply(999) << "-1"
                         << "Lese... (A)" << 0;
    QTest::newRow("2B") << QByteArray("2B") << din << QStringList {} << none << "2"
                        << "Analogkanal... (A)" << 0;
    QTest::newRow("C before any B")
        << QByteArray("128C") << din << QStringList { "AOUT 0 128" } << none << "128"
        << "Schreibe ... (A)" << 0;
    QTest::newRow("K") << QByteArray("K") << din << QStringList {} << none << "0"
                       << "Heartbeat" << 0;
    // An unknown letter leaves the activity as listening left it.
    const QString unchanged = QStringLiteral("kein Datenempfang");
    QTest::newRow("lower-case s") << QByteArray("5s") << din << QStringList {} << none << "5"
                                  << unchanged << 1;
    QTest::newRow("X") << QByteArray("X") << din << QStringList {} << none << "0" << unchanged << 1;
    QTest::newRow("12X") << QByteArray("12X") << din << QStringList {} << none << "12" << unchanged
                         << 1;
}

// After the request a sentinel "R" follows: what the client then holds must
// be the request's reply, if any, and the sentinel's, nothing more.
void TestHalvexWindow::carriesOutEachRequest()
{
    QFETCH(QByteArray, request);
    QFETCH(int, din);
    QFETCH(QStringList, expectedCalls);
    QFETCH(QByteArray, reply);
    QFETCH(QString, label1);
    QFETCH(QString, label2);
    QFETCH(int, beeps);

    qputenv("FAKE_RSAPI_DIN", QByteArray::number(din));
    QVERIFY(listenNow());
    HalvexClient client;
    QVERIFY(connectClient(client));
    const qsizetype beepsBefore = m_beeps->count();
    m_log.clear();

    QVERIFY(deliver(client, request));
    QCOMPARE(m_log.lines(), expectedCalls);
    QCOMPARE(text("Label1"), label1);
    QCOMPARE(text("Label2"), label2);
    QCOMPARE(m_beeps->count() - beepsBefore, beeps);

    client.send("R");
    const QByteArray expected = reply + ferrolink::protocol::encodeReply(int16_t(din));
    QVERIFY(
        QTest::qWaitFor([&] { return client.socket().bytesAvailable() >= expected.size(); }, Wait));
    QCOMPARE(client.received(), expected);
}

void TestHalvexWindow::takesRequestsOneByOneFromTheStream_data()
{
    QTest::addColumn<QByteArrayList>("arrivals");
    QTest::addColumn<QStringList>("expectedCalls");
    QTest::addColumn<QList<int>>("replies");
    QTest::addColumn<QString>("label1");
    QTest::addColumn<QString>("label2");

    QTest::newRow("two writes at once")
        << QByteArrayList { "5S7S" } << QStringList { "DOUT 5", "DOUT 7" } << QList<int> {} << "7"
        << "Schreibe... (D)";
    QTest::newRow("a read and a write at once")
        << QByteArrayList { "3A2S" } << QStringList { "AIN 3", "DOUT 2" } << QList<int> { 1003 }
        << "2"
        << "Schreibe... (D)";
    QTest::newRow("two reads at once")
        << QByteArrayList { "RR" } << QStringList { "DIN", "DIN" } << QList<int> { 0, 0 } << "0"
        << "Lese... (D)";
    QTest::newRow("heartbeat after a read")
        << QByteArrayList { "3AK" } << QStringList { "AIN 3" } << QList<int> { 1003 } << "0"
        << "Heartbeat";
    QTest::newRow("number in two pieces")
        << QByteArrayList { "2", "55S" } << QStringList { "DOUT 255" } << QList<int> {} << "255"
        << "Schreibe... (D)";
    QTest::newRow("letter alone later")
        << QByteArrayList { "-1", "A" } << QStringList { "AIN -1" } << QList<int> { 999 } << "-1"
        << "Lese... (A)";
    QTest::newRow("three pieces") << QByteArrayList { "1", "2", "8C" }
                                  << QStringList { "AOUT 0 128" } << QList<int> {} << "128"
                                  << "Schreibe ... (A)";
    QTest::newRow("a request and a half")
        << QByteArrayList { "5S1", "0S" } << QStringList { "DOUT 5", "DOUT 10" } << QList<int> {}
        << "10"
        << "Schreibe... (D)";
}

void TestHalvexWindow::takesRequestsOneByOneFromTheStream()
{
    QFETCH(QByteArrayList, arrivals);
    QFETCH(QStringList, expectedCalls);
    QFETCH(QList<int>, replies);
    QFETCH(QString, label1);
    QFETCH(QString, label2);

    QVERIFY(listenNow());
    HalvexClient client;
    QVERIFY(connectClient(client));
    for (const QByteArray &bytes : arrivals)
        QVERIFY(deliver(client, bytes));
    QCOMPARE(m_arrivals->count(), arrivals.size());

    QCOMPARE(calls(), expectedCalls);
    QList<int> received;
    for (const int16_t value : client.replies(int(replies.size())))
        received.append(value);
    QCOMPARE(received, replies);
    QCOMPARE(text("Label1"), label1);
    QCOMPARE(text("Label2"), label2);
    QCOMPARE(m_beeps->count(), 1); // the one of listening
}

void TestHalvexWindow::dropsAnUnfinishedRequestWhenTheConnectionEnds()
{
    QVERIFY(listenNow());
    HalvexClient first, second;
    QVERIFY(connectClient(first));
    QVERIFY(deliver(first, "7"));
    action("Rücksetzen")->trigger();
    QVERIFY(first.waitForServerClose(Wait));

    QVERIFY(listenNow());
    QVERIFY(connectClient(second));
    QVERIFY(deliver(second, "5S"));
    QCOMPARE(calls(), QStringList({ "DOUT 0", "DOUT 5" }));
}

void TestHalvexWindow::goodbyeEndsTheConnectionAndTheNextClientConnectsAtOnce()
{
    QVERIFY(listenNow());
    HalvexClient first, second;
    QVERIFY(connectClient(first));
    const qsizetype beeps = m_beeps->count();

    // What follows the goodbye belongs to the connection that has ended.
    QVERIFY(deliver(first, "5SI7"));
    QVERIFY(first.waitForServerClose(Wait));
    QCOMPARE(texts(), QStringList({ "bereit", "Warten auf Verbindung", "0", "Rücksetzen!" }));
    QVERIFY(!watchdogRuns());
    QCOMPARE(m_beeps->count(), beeps);

    QVERIFY(connectClient(second));
    QVERIFY(deliver(second, "S"));
    QCOMPARE(calls(), QStringList({ "DOUT 5", "DOUT 0" }));
}

void TestHalvexWindow::keepsTheAnalogChannelAcrossConnectionsAndResets()
{
    QVERIFY(listenNow());
    HalvexClient first, second, third;
    QVERIFY(connectClient(first));
    QVERIFY(deliver(first, "100C"));
    QVERIFY(deliver(first, "2B"));
    QVERIFY(deliver(first, "128C"));
    QVERIFY(deliver(first, "I"));

    QVERIFY(connectClient(second));
    QVERIFY(deliver(second, "50C"));
    action("Rücksetzen")->trigger();

    QVERIFY(listenNow());
    QVERIFY(connectClient(third));
    QVERIFY(deliver(third, "-7C"));
    QVERIFY(deliver(third, "300B"));
    QVERIFY(deliver(third, "1C"));
    QCOMPARE(calls(),
             QStringList(
                 { "AOUT 0 100", "AOUT 2 128", "AOUT 2 50", "DOUT 0", "AOUT 2 -7", "AOUT 300 1" }));
}

void TestHalvexWindow::resetSwitchesTheOutputsOffAndListensAgainLater_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("starting") << "starting";
    QTest::newRow("listening") << "listening";
    QTest::newRow("connected") << "connected";
}

void TestHalvexWindow::resetSwitchesTheOutputsOffAndListensAgainLater()
{
    QFETCH(QString, state);
    HalvexClient client, other;
    if (state != QLatin1String("starting"))
        QVERIFY(listenNow());
    if (state == QLatin1String("connected")) {
        QVERIFY(connectClient(client));
        QVERIFY(deliver(client, "42S"));
        m_log.clear();
    }
    const QStringList before = texts();
    const qsizetype beeps = m_beeps->count();

    action("Rücksetzen")->trigger();
    QCOMPARE(calls(), QStringList({ "DOUT 0" }));
    QCOMPARE(texts(), before);
    QVERIFY(watchdogRuns());
    if (state == QLatin1String("connected"))
        QVERIFY(client.waitForServerClose(Wait));
    QVERIFY(!other.connectToServer());

    QVERIFY(listenNow());
    QCOMPARE(m_beeps->count(), beeps + 1);
    QCOMPARE(text("Label2"), QStringLiteral("kein Datenempfang"));
    QVERIFY(connectClient(other));
}

void TestHalvexWindow::endClosesTheSocketAndLeavesTheOutputs_data()
{
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("Ende") << true;
    QTest::newRow("window closed") << false;
}

void TestHalvexWindow::endClosesTheSocketAndLeavesTheOutputs()
{
    QFETCH(bool, byMenu);
    QVERIFY(listenNow());
    HalvexClient client;
    QVERIFY(connectClient(client));
    QVERIFY(deliver(client, "9S"));
    QSignalSpy ended(m_window.get(), &Halvex::ended);

    if (byMenu)
        action("Ende")->trigger();
    else
        m_window->close();
    QVERIFY(client.waitForServerClose(Wait));
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(ended.first().first().toInt(), 0);
    QVERIFY(!watchdogRuns());

    // Nothing is handled any more.
    action("Rücksetzen")->trigger();
    action("comm")->trigger();
    QCOMPARE(calls(), QStringList({ "DOUT 9" }));
}

void TestHalvexWindow::aFailedAcceptKeepsTheServerListening_data()
{
    QTest::addColumn<bool>("bySystem");
    QTest::newRow("connection gone when taken") << false;
    QTest::newRow("accept failed in the system") << true;
}

void TestHalvexWindow::aFailedAcceptKeepsTheServerListening()
{
    QFETCH(bool, bySystem);
    QVERIFY(listenNow());
    QSignalSpy ended(m_window.get(), &Halvex::ended);
    if (bySystem) {
        // What the listener does when accept() fails, for example because
        // the peer gave up while its connection waited to be taken.
        auto *listener = m_window->findChild<QTcpServer *>();
        QVERIFY(listener);
        listener->pauseAccepting();
        emit listener->acceptError(QAbstractSocket::NetworkError);
    } else {
        m_window->Winsocket_ConnectionRequest(-1);
    }
    QCOMPARE(m_window->windowTitle(), QStringLiteral("bereit"));
    HalvexClient client;
    QVERIFY(connectClient(client));
    QCOMPARE(text("Label"), QStringLiteral("Verbunden mit 127.0.0.1"));
    QCOMPARE(ended.count(), 0);
}

void TestHalvexWindow::aFailedListenOnGoodbyeLeavesTheWatchdogOn()
{
    QVERIFY(listenNow());
    HalvexClient client, next;
    QVERIFY(connectClient(client));
    QSignalSpy ended(m_window.get(), &Halvex::ended);
    // Another program takes the port while the client is served.
    QTcpServer other;
    QVERIFY(other.listen(QHostAddress::Any, HalvexClient::Port));

    QVERIFY(deliver(client, "I"));
    QVERIFY(client.waitForServerClose(Wait));
    QVERIFY(watchdogRuns());
    other.close();

    // The watchdog's own tick, once it finds 10 silent seconds, listens.
    m_clock.advance(Halvex::SilenceLimit + 1.0);
    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("bereit"),
                              Halvex::WatchdogInterval + Wait);
    QVERIFY(connectClient(next));
    QCOMPARE(ended.count(), 0);
}

void TestHalvexWindow::patternWritesItsSequenceAndChangesNoText()
{
    const QStringList before = texts();
    QElapsedTimer elapsed;
    elapsed.start();
    action("comm")->trigger();
    // 15 x 0.05 + 4 x 0.5 + 4 x 0.2 seconds of waiting.
    QVERIFY2(elapsed.elapsed() >= 3550, qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(calls(), Pattern);
    QCOMPARE(texts(), before);
    QCOMPARE(m_beeps->count(), 0);
}

void TestHalvexWindow::patternGoesOnServingTheClient()
{
    QVERIFY(listenNow());
    HalvexClient client;
    QVERIFY(connectClient(client));
    qputenv("FAKE_RSAPI_DIN", "42");
    QTimer::singleShot(1000, this, [&client] { client.send("77S"); });
    QTimer::singleShot(1600, this, [&client] { client.send("R"); });

    action("comm")->trigger();
    QStringList log = calls();
    const qsizetype write = log.indexOf("DOUT 77");
    const qsizetype read = log.indexOf("DIN");
    QVERIFY(write > 0 && write < read && read < log.size() - 1);
    log.removeAt(read);
    log.removeAt(write);
    QCOMPARE(log, Pattern);
    QCOMPARE(client.replies(1), QList<int16_t>({ 42 }));
    QCOMPARE(text("Label2"), QStringLiteral("Lese... (D)"));
}

void TestHalvexWindow::patternChosenAgainPlaysOnceMoreInside()
{
    QTimer::singleShot(300, this, [this] { action("comm")->trigger(); });
    action("comm")->trigger();
    const QStringList log = calls();
    QCOMPARE(log.size(), 2 * Pattern.size());
    // The second run lies whole inside the first, which then goes on.
    bool nested = false;
    for (qsizetype start = 1; start < Pattern.size() && !nested; ++start) {
        const QStringList inner = log.mid(start, Pattern.size());
        const QStringList outer = log.mid(0, start) + log.mid(start + Pattern.size());
        nested = inner == Pattern && outer == Pattern;
    }
    QVERIFY2(nested, qPrintable(log.join(", ")));
}

QTEST_MAIN(TestHalvexWindow)
#include "tst_halvexwindow.moc"
