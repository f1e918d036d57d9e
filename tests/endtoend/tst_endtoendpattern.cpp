// The server's self-test pattern plays while a control writes and reads
// through it: both in this process, on one event loop, as the pattern's
// waits let the server serve its client.
#include "calllog.h"
#include "halvex.h"
#include "interfacelibrary.h"

#include <sorvel.h>

#include <QTest>
#include <QTimer>

class TestEndToEndPattern : public QObject
{
    Q_OBJECT

private slots:
    void thePatternPlaysWhileAControlIsServed();
};

void TestEndToEndPattern::thePatternPlaysWhileAControlIsServed()
{
    qputenv("FAKE_RSAPI_DIN", "21");
    CallLog log;
    log.clear();
    ferrolink::InterfaceLibrary library;
    ferrolink::Halvex server(library);
    server.INIT();

    Sorvel control;
    control.IP(QStringLiteral("127.0.0.1"));
    log.clear();

    // Every 150 ms the host writes 200 and reads the inputs.
    QList<qint16> reads;
    QTimer host;
    host.setInterval(150);
    connect(&host, &QTimer::timeout, this, [&] {
        qint16 value = 200;
        control.Ausgabe(value);
        reads.append(control.Eingabe());
    });
    host.start();
    server.comm_Click();
    host.stop();

    const QList<int> pattern = { 1, 2, 4, 8,   16, 32,  64, 128, 64, 32, 16,  8, 4,
                                 2, 1, 0, 170, 85, 170, 85, 24,  36, 66, 129, 0 };
    QList<int> written = log.arguments("DOUT");
    QVERIFY2(written.count(200) >= 10, qPrintable(QString::number(written.count(200))));
    written.removeAll(200);
    QCOMPARE(written, pattern);
    QVERIFY(reads.size() >= 10);
    QCOMPARE(reads.count(21), reads.size());
    control.simuliert();
}

QTEST_MAIN(TestEndToEndPattern)
#include "tst_endtoendpattern.moc"
