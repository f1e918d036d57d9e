// The fallback: on a PC whose interface library cannot be loaded (a file of
// that name that is not a library comes first on the search path), every
// local operation moves the control to a server on this PC.
#include "protocol.h"
#include "recordingserver.h"
#include "sorvel.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <memory>

class TestSorvelFallback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void unloadableLibraryMovesToTheLocalServer_data();
    void unloadableLibraryMovesToTheLocalServer();

private:
    RecordingServer m_server;
};

void TestSorvelFallback::initTestCase()
{
    QVERIFY(m_server.listen(ferrolink::protocol::Port));
}

void TestSorvelFallback::unloadableLibraryMovesToTheLocalServer_data()
{
    QTest::addColumn<QByteArray>("member");
    // What the server receives during the call: only Analogwert reads again.
    QTest::addColumn<QByteArrayList>("requests");
    QTest::addColumn<int>("result");

    QTest::newRow("Ausgabe") << QByteArray("Ausgabe") << QByteArrayList() << 0;
    QTest::newRow("Analogsend") << QByteArray("Analogsend") << QByteArrayList() << 0;
    QTest::newRow("Eingabe") << QByteArray("Eingabe") << QByteArrayList() << 0;
    QTest::newRow("Analogwert") << QByteArray("Analogwert") << QByteArrayList({ "3A" }) << 1003;
    QTest::newRow("simuliert") << QByteArray("simuliert") << QByteArrayList() << 0;
    QTest::newRow("lokalstart") << QByteArray("lokalstart") << QByteArrayList() << 0;
}

void TestSorvelFallback::unloadableLibraryMovesToTheLocalServer()
{
    QFETCH(QByteArray, member);
    QFETCH(QByteArrayList, requests);
    QFETCH(int, result);

    auto control = std::make_unique<Sorvel>();
    auto *timer = control->findChild<QTimer *>(QStringLiteral("Timer1"));
    m_server.clearReceived();
    const int connections = m_server.connections();

    QElapsedTimer clock;
    clock.start();
    qint16 value = 300;
    qint16 channel = 3;
    int got = 0;
    if (member == "Ausgabe") {
        control->Ausgabe(value);
        QCOMPARE(value, qint16(255));
    } else if (member == "Analogsend") {
        control->Analogsend(value);
        QCOMPARE(value, qint16(255));
    } else if (member == "Eingabe") {
        got = control->Eingabe();
    } else if (member == "Analogwert") {
        got = control->Analogwert(channel);
        QCOMPARE(channel, qint16(3));
    } else {
        QVERIFY(QMetaObject::invokeMethod(control.get(), member.constData(), Qt::DirectConnection));
    }
    const qint64 took = clock.elapsed();

    // Connected to 127.0.0.1:2001 during the call, in network mode after
    // it; the failed operation itself is not repeated.
    QVERIFY2(took >= 4000 && took < 5000, qPrintable(QString::number(took)));
    QCOMPARE(m_server.connections(), connections + 1);
    QCOMPARE(got, result);
    QCOMPARE(m_server.requests(), requests);
    QVERIFY(timer->isActive());

    qint16 output = 5;
    control->Ausgabe(output);
    QTRY_COMPARE(m_server.requests(), requests + QByteArrayList({ "5S" }));
    if (member == "lokalstart") {
        // The heartbeat, stopped by lokalstart, runs again.
        QTRY_VERIFY_WITH_TIMEOUT(!m_server.heartbeatTimes().isEmpty(), 3000);
    }
}

QTEST_MAIN(TestSorvelFallback)
#include "tst_sorvelfallback.moc"
