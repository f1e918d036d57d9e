// The server window in the test's process, as its log and its allow list
// see it: one log line per event and none per request, and a client from a
// network that is not allowed closed without a trace in the window.
#include "allowlist.h"
#include "halvex.h"
#include "interfacelibrary.h"
#include "winsocket.h"

#include "calllog.h"
#include "halvexclient.h"
#include "plainconnection.h"
#include "steerableclock.h"

#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

using ferrolink::AllowList;
using ferrolink::Halvex;

namespace {

constexpr int Wait = 3000; // ms, for anything that happens at once

AllowList allowing(const QStringList &networks)
{
    AllowList list;
    for (const QString &network : networks)
        list.add(network);
    return list;
}

} // namespace

class TestHalvexEvents : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void logsOneLinePerEventAndNonePerRequest();
    void logsTheMenuActionsAndTheEnd();
    void refusesAClientOutsideTheAllowedNetworks();

private:
    void start(const AllowList &allowList = AllowList());
    QStringList window() const;
    QStringList lines() const;
    bool listenNow();

    ferrolink::InterfaceLibrary m_library;
    SteerableClock m_clock;
    CallLog m_log;
    std::unique_ptr<Halvex> m_window;
    std::unique_ptr<QSignalSpy> m_lines;
};

void TestHalvexEvents::init()
{
    m_log.clear();
}

void TestHalvexEvents::cleanup()
{
    m_lines.reset();
    m_window.reset();
}

void TestHalvexEvents::start(const AllowList &allowList)
{
    m_window = std::make_unique<Halvex>(m_library, m_clock);
    m_window->setAllowList(allowList);
    m_lines = std::make_unique<QSignalSpy>(m_window.get(), &Halvex::logged);
}

// Everything a person reads in the window, and whether the watchdog runs.
QStringList TestHalvexEvents::window() const
{
    QStringList texts = { m_window->windowTitle() };
    for (const char *name : { "Label", "Label1", "Label2" })
        texts.append(m_window->findChild<QLabel *>(QLatin1String(name))->text());
    const bool watchdog = m_window->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive();
    texts.append(watchdog ? QStringLiteral("watchdog on") : QStringLiteral("watchdog off"));
    return texts;
}

QStringList TestHalvexEvents::lines() const
{
    QStringList texts;
    for (const QList<QVariant> &line : *m_lines)
        texts.append(line.at(0).toString());
    return texts;
}

bool TestHalvexEvents::listenNow()
{
    m_clock.advance(Halvex::SilenceLimit + 1.0);
    m_window->Timer1_Timer();
    return m_window->windowTitle() == QLatin1String("bereit");
}

void TestHalvexEvents::logsOneLinePerEventAndNonePerRequest()
{
    start();
    QVERIFY(listenNow());
    QCOMPARE(lines(), QStringList({ "listening on port 2001" }));

    HalvexClient client;
    QVERIFY(client.connectToServer());
    QVERIFY(QTest::qWaitFor([this] { return m_lines->count() == 2; }, Wait));
    client.send("5S");
    client.send("R");
    QCOMPARE(client.replies(1).size(), 1);
    client.send("K");
    client.send("I");
    QVERIFY(client.waitForServerClose(Wait));
    QCOMPARE(lines().mid(1),
             QStringList({ "client 127.0.0.1 connected", "client 127.0.0.1 said goodbye",
                           "listening on port 2001" }));

    m_lines->clear();
    QVERIFY(client.connectToServer());
    QVERIFY(QTest::qWaitFor([this] { return m_lines->count() == 1; }, Wait));
    m_clock.advance(12.5);
    m_window->Timer1_Timer();
    QCOMPARE(lines().size(), 3);
    QCOMPARE(lines().at(1), QStringLiteral("listening on port 2001"));
    QVERIFY2(lines().at(2).startsWith("client 127.0.0.1 dropped by the watchdog: no data for 12."),
             qPrintable(lines().at(2)));
    QVERIFY(client.waitForServerClose(Wait));
}

void TestHalvexEvents::logsTheMenuActionsAndTheEnd()
{
    start();
    m_window->Ruecksetzen_Click();
    QVERIFY(listenNow());
    m_window->Ruecksetzen_Click();
    m_window->comm_Click();
    QSignalSpy ended(m_window.get(), &Halvex::ended);
    m_window->Ende_Click();
    QVERIFY(ended.wait(Wait));
    QCOMPARE(lines(),
             QStringList({ "Rücksetzen chosen: outputs off", "listening on port 2001",
                           "Rücksetzen chosen: outputs off, listening stopped",
                           "Testmuster chosen: playing the self-test pattern", "ending" }));
}

void TestHalvexEvents::refusesAClientOutsideTheAllowedNetworks()
{
    start(allowing({ "10.0.0.0/8", "::1" }));
    QVERIFY(listenNow());
    const QStringList before = window();

    // Each client's requests wait in the server's receive queue before the
    // server has looked at the connection.
    for (int attempt = 0; attempt < 2; ++attempt) {
        PlainConnection client;
        QVERIFY(client.open());
        QVERIFY(client.send("5S"));
        QVERIFY(client.send("R"));
        QVERIFY(client.waitUntilClosedByServer(Wait));
        QCOMPARE(client.received(), QByteArray());
    }
    QCOMPARE(lines(),
             QStringList({ "listening on port 2001", "client 127.0.0.1 refused: not in --allow",
                           "client 127.0.0.1 refused: not in --allow" }));
    QCOMPARE(window(), before);
    QCOMPARE(m_log.lines(), QStringList({ "FINDHARD 0" }));
    QCOMPARE(m_window->findChild<ferrolink::Winsocket *>()->state(),
             ferrolink::Winsocket::Listening);
}

QTEST_MAIN(TestHalvexEvents)
#include "tst_halvexevents.moc"
