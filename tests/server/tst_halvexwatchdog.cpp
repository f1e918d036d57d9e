// The watchdog on the real clock: the server begins to listen 10 to 15
// seconds after its start, a client that keeps sending stays connected, and
// one that falls silent is dropped 10 to 15 seconds after its last data.
#include "halvex.h"
#include "interfacelibrary.h"

#include "halvexclient.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using ferrolink::Halvex;

namespace {

// Allowance for a busy machine on top of the 15 seconds the watchdog may take.
constexpr qint64 Slack = 1500; // ms

QString labelText(const Halvex &window, const char *name)
{
    return window.findChild<QLabel *>(QLatin1String(name))->text();
}

} // namespace

class TestHalvexWatchdog : public QObject
{
    Q_OBJECT

private slots:
    void listensAfterStartKeepsATalkingClientAndDropsASilentOne();
};

void TestHalvexWatchdog::listensAfterStartKeepsATalkingClientAndDropsASilentOne()
{
    ferrolink::InterfaceLibrary library;
    QElapsedTimer sinceStart;
    sinceStart.start();
    Halvex window(library);
    QSignalSpy beeps(&window, &Halvex::beeped);
    HalvexClient client;
    QVERIFY(!client.connectToServer());

    // The first tick that finds more than 10 seconds: at 10 or 15 seconds.
    QVERIFY(beeps.wait(15000 + Slack));
    QVERIFY2(sinceStart.elapsed() >= 10000, qPrintable(QString::number(sinceStart.elapsed())));
    QCOMPARE(window.windowTitle(), QStringLiteral("bereit"));
    QCOMPARE(labelText(window, "Label"), QStringLiteral("Warten auf Verbindung"));
    QCOMPARE(labelText(window, "Label2"), QStringLiteral("kein Datenempfang"));

    QVERIFY(client.connectToServer());
    QTRY_COMPARE(window.windowTitle(), QStringLiteral("verbunden"));

    // A heartbeat every 2 seconds for 16 seconds: three ticks pass, and
    // without it the client would have been dropped.
    QElapsedTimer sinceLastData;
    for (int beat = 0; beat < 8; ++beat) {
        client.send("K");
        sinceLastData.start();
        QTest::qWait(2000);
        QVERIFY(client.isConnected());
    }
    QCOMPARE(beeps.count(), 1);
    QCOMPARE(labelText(window, "Label2"), QStringLiteral("Heartbeat"));

    // Silence: dropped 10 to 15 seconds after the last heartbeat.
    QVERIFY(client.waitForServerClose(15000 + Slack));
    QVERIFY2(sinceLastData.elapsed() >= 10000,
             qPrintable(QString::number(sinceLastData.elapsed())));
    QCOMPARE(beeps.count(), 2);
    QCOMPARE(window.windowTitle(), QStringLiteral("bereit"));
    QCOMPARE(labelText(window, "Label"), QStringLiteral("Warten auf Verbindung"));
    QCOMPARE(labelText(window, "Label2"), QStringLiteral("kein Datenempfang"));
}

QTEST_MAIN(TestHalvexWatchdog)
#include "tst_halvexwatchdog.moc"
