// The command ferrolink over the network: the requests it sends and the
// replies it waits for (a recording server), the failures a script sees as
// exit statuses, and the real halvex serving one command after another.
#include "ferrolinkcommand.h"
#include "halvexclient.h"
#include "halvexprocess.h"
#include "recordingserver.h"
#include "simulatedinterface.h"

#include <QTest>

namespace {

const QStringList Server = { "--server", "127.0.0.1" };

} // namespace

class TestFerrolinkNetwork : public QObject
{
    Q_OBJECT

private slots:
    void refusedWhenNothingListens();
    void requestsAndRepliesOnTheWire_data();
    void requestsAndRepliesOnTheWire();
    void noReplyInTime();
    void serverGoneDuringARead();
    void unknownHostIsUnreachable();
    void watchEndsInOrderWhenItsReaderGoes();
    void halvexServesOneCommandAfterAnother();

private:
    // Listens on port 2001 and, like halvex, closes on the goodbye.
    void listen(RecordingServer &server);
};

void TestFerrolinkNetwork::listen(RecordingServer &server)
{
    QVERIFY(server.listen(HalvexClient::Port));
    connect(&server, &RecordingServer::requestReceived, &server, [&server](const QByteArray &r) {
        if (r == "I")
            server.dropClient();
    });
}

void TestFerrolinkNetwork::refusedWhenNothingListens()
{
    FerrolinkCommand command;
    QVERIFY(command.run(Server + QStringList { "read" }));
    const QString errors = command.errors();
    QCOMPARE(command.exitStatus(), 3);
    QVERIFY2(errors.contains("127.0.0.1:2001 refused") && errors.contains("another client")
                 && errors.contains("10 to 15 s"),
             qPrintable(errors));
    QCOMPARE(command.lines(), QStringList());
}

void TestFerrolinkNetwork::requestsAndRepliesOnTheWire_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArrayList>("requests");
    QTest::addColumn<QStringList>("printed");

    QTest::newRow("write clamped") << QStringList { "write", "300" }
                                   << QByteArrayList { "255S", "I" } << QStringList { "255" };
    QTest::newRow("read") << QStringList { "read", "--bits" } << QByteArrayList { "R", "I" }
                          << QStringList { "5 00000101" };
    QTest::newRow("analog unclamped") << QStringList { "analog", "--", "-1" }
                                      << QByteArrayList { "-1A", "I" } << QStringList { "999" };
    QTest::newRow("analog-write clamped")
        << QStringList { "analog-write", "9", "--", "-1" } << QByteArrayList { "2B", "0C", "I" }
        << QStringList { "2 0" };
    QTest::newRow("watch one line")
        << QStringList { "watch", "-n", "1" } << QByteArrayList { "R", "1A", "2A", "I" }
        << QStringList { "5 1001 1002" };
    QTest::newRow("test") << QStringList { "test" }
                          << QByteArrayList { "1S",  "2S",  "4S",   "8S", "16S",
                                              "32S", "64S", "128S", "I" }
                          << QStringList { "1", "2", "4", "8", "16", "32", "64", "128" };
}

void TestFerrolinkNetwork::requestsAndRepliesOnTheWire()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArrayList, requests);
    QFETCH(QStringList, printed);

    RecordingServer server;
    listen(server);
    FerrolinkCommand command;
    QVERIFY(command.run(Server + arguments));
    QCOMPARE(command.exitStatus(), 0);
    QCOMPARE(command.lines(), printed);
    QCOMPARE(server.requests(true), requests);
    QCOMPARE(server.connections(), 1);
}

void TestFerrolinkNetwork::noReplyInTime()
{
    RecordingServer server;
    listen(server);
    server.setAnswering(false);
    FerrolinkCommand command;
    QVERIFY(command.run(Server + QStringList { "--timeout", "0.3", "read" }));
    const QString errors = command.errors();
    QCOMPARE(command.exitStatus(), 5);
    QVERIFY2(errors.contains("no reply to \"R\"") && errors.contains("0.3 s"), qPrintable(errors));
    // The goodbye goes out all the same, so the server listens again.
    QCOMPARE(server.requests(true), QByteArrayList({ "R", "I" }));
}

void TestFerrolinkNetwork::serverGoneDuringARead()
{
    RecordingServer server;
    QVERIFY(server.listen(HalvexClient::Port));
    server.setAnswering(false);
    connect(&server, &RecordingServer::requestReceived, &server, &RecordingServer::dropClient);
    FerrolinkCommand command;
    QVERIFY(command.run(Server + QStringList { "analog", "1" }));
    const QString errors = command.errors();
    QCOMPARE(command.exitStatus(), 4);
    QVERIFY2(errors.contains("closed the connection"), qPrintable(errors));
}

void TestFerrolinkNetwork::unknownHostIsUnreachable()
{
    FerrolinkCommand command;
    QVERIFY(command.run({ "--server", "no-such-host.invalid", "read" }));
    QCOMPARE(command.exitStatus(), 4);
    QVERIFY(command.errors().contains("no-such-host.invalid:2001"));
}

// "ferrolink -s ADDRESS watch | head -1": the goodbye still goes out.
void TestFerrolinkNetwork::watchEndsInOrderWhenItsReaderGoes()
{
    RecordingServer server;
    listen(server);
    FerrolinkCommand command;
    command.startIntoHead(Server + QStringList { "watch" });
    QVERIFY(command.waitForEnd());
    QCOMPARE(command.lines(), QStringList { "5 1001 1002" });
    QCOMPARE(command.exitStatus(), 0);
    const QByteArrayList requests = server.requests(true);
    QVERIFY(requests.size() >= 4);
    QCOMPARE(requests.last(), "I");
    QCOMPARE(requests.mid(0, 3), QByteArrayList({ "R", "1A", "2A" }));
}

// The real server on the simulated interface shared with this test: each
// command's goodbye frees it for the next at once, and while another client
// holds it the command is refused.
void TestFerrolinkNetwork::halvexServesOneCommandAfterAnother()
{
    ferrolink::SimulatedInterface interface;
    interface.reset();
    HalvexProcess halvex;
    QVERIFY(halvex.startAndWaitUntilListening());

    FerrolinkCommand write;
    QVERIFY(write.run(Server + QStringList { "write", "5" }));
    QCOMPARE(write.exitStatus(), 0);
    QCOMPARE(interface.outputs(), 5);

    interface.setInputs(9);
    interface.setAnalogInput(2, 77);
    for (const auto &[arguments, printed] :
         { std::pair { QStringList { "read" }, QString("9") },
           std::pair { QStringList { "analog", "2" }, QString("77") },
           std::pair { QStringList { "analog-write", "2", "128" }, QString("2 128") } }) {
        FerrolinkCommand command;
        QVERIFY(command.run(Server + arguments));
        QCOMPARE(command.exitStatus(), 0);
        QCOMPARE(command.lines(), QStringList { printed });
    }
    QCOMPARE(interface.analogOutput(2), 128);

    HalvexClient other;
    QVERIFY(other.beServed(5000));
    FerrolinkCommand refused;
    QVERIFY(refused.run(Server + QStringList { "read" }));
    QCOMPARE(refused.exitStatus(), 3);
    other.send("I");
    QVERIFY(other.waitForServerClose(3000));

    FerrolinkCommand again;
    QVERIFY(again.run(Server + QStringList { "read" }));
    QCOMPARE(again.exitStatus(), 0);
    QVERIFY(halvex.isRunning());
}

QTEST_GUILESS_MAIN(TestFerrolinkNetwork)
#include "tst_ferrolinknetwork.moc"
