// Reads that fail in the interface library (here: it lacks DIN) are still
// answered, with 0, so that a client waiting for the reply goes on.
#include "halvex.h"
#include "interfacelibrary.h"

#include "halvexclient.h"
#include "steerableclock.h"

#include <QLabel>
#include <QTest>

using ferrolink::Halvex;

class TestHalvexFailedRead : public QObject
{
    Q_OBJECT

private slots:
    void answersAFailedReadWithZero();
};

void TestHalvexFailedRead::answersAFailedReadWithZero()
{
    ferrolink::InterfaceLibrary library;
    SteerableClock clock;
    Halvex window(library, clock);
    clock.advance(Halvex::SilenceLimit + 1.0);
    window.Timer1_Timer();

    HalvexClient client;
    QVERIFY(client.connectToServer());
    client.send("R");
    QCOMPARE(client.replies(1), QList<int16_t>({ 0 }));
    QCOMPARE(window.findChild<QLabel *>("Label2")->text(), QStringLiteral("Lese... (D)"));
    // The other functions of the library still serve.
    client.send("3A");
    QCOMPARE(client.replies(1), QList<int16_t>({ 1003 }));
    QVERIFY(client.isConnected());
}

QTEST_MAIN(TestHalvexFailedRead)
#include "tst_halvexfailedread.moc"
