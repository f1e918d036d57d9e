// A control whose interface library cannot be loaded falls back to a halvex
// on the same PC, and goes on through it.
#include "calllog.h"
#include "halvexprocess.h"
#include "messageboxcloser.h"

#include <sorvel.h>

#include <QTest>

class TestEndToEndFallback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_log.clear(); }
    void aReadFallsBackAndIsAnsweredByTheServer();
    void aWriteFallsBackAndTheNextWriteGoesThrough();

private:
    HalvexProcess m_halvex;
    CallLog m_log;
    MessageBoxCloser m_boxes;
};

void TestEndToEndFallback::initTestCase()
{
    // This process finds a file that is not a library; the server gets the
    // recording one.
    m_halvex.useLibraryFolder(qEnvironmentVariable("FERROLINK_FAKES_DIR") + "/recording");
    m_halvex.setEnvironment("FAKE_RSAPI_AIN_BASE", "200");
    m_halvex.setEnvironment("FAKE_RSAPI_DIN", "33");
    QVERIFY(m_halvex.startAndWaitUntilListening());
}

void TestEndToEndFallback::aReadFallsBackAndIsAnsweredByTheServer()
{
    Sorvel control;
    qint16 channel = 2;
    QCOMPARE(control.Analogwert(channel), qint16(202));
    QCOMPARE(m_log.lines(), QStringList { "AIN 2" });
    // Now in network mode: the next read goes to the server as well.
    QCOMPARE(control.Eingabe(), qint16(33));
    QVERIFY(m_boxes.texts().isEmpty());
    // Going away, the control says nothing: the server drops it by its
    // watchdog.
}

void TestEndToEndFallback::aWriteFallsBackAndTheNextWriteGoesThrough()
{
    QVERIFY(HalvexProcess::waitUntilListening(17000));
    m_log.clear();
    Sorvel control;
    qint16 lost = 5;
    control.Ausgabe(lost);
    qint16 value = 6;
    control.Ausgabe(value);
    QTRY_COMPARE(m_log.calls("DOUT"), QStringList { "DOUT 6" });
    QVERIFY(m_boxes.texts().isEmpty());
}

QTEST_MAIN(TestEndToEndFallback)
#include "tst_endtoendfallback.moc"
