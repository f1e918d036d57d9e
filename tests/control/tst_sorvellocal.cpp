// The control in local mode, on the recording interface library: what
// reaches the library, the clamping and its write-back, the walking bit, the
// member order hosts see, and the control's invisibility at run time.
#include "calllog.h"
#include "sorvel.h"

#include <QElapsedTimer>
#include <QMetaMethod>
#include <QMetaObject>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace {

// Calls a writing member directly, as a host written in C++ does.
void callDirectly(Sorvel &control, const QByteArray &member, qint16 &value)
{
    if (member == "Ausgabe")
        control.Ausgabe(value);
    else if (member == "Analogkanal")
        control.Analogkanal(value);
    else if (member == "Analogsend")
        control.Analogsend(value);
    else if (member == "Analogwert")
        control.Analogwert(value);
    else
        QFAIL("unknown member");
}

// Calls it by name through the meta-object, as a host that knows only names.
void callByName(Sorvel &control, const QByteArray &member, qint16 &value)
{
    QVERIFY(QMetaObject::invokeMethod(&control, member.constData(), Qt::DirectConnection,
                                      Q_ARG(qint16 &, value)));
}

} // namespace

class TestSorvelLocal : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void membersStandInTheirOrder();
    void writesAreClampedAndWrittenBack_data();
    void writesAreClampedAndWrittenBack();
    void readsReturnWhatTheLibraryReads();
    void lokalstartOpensCommPort_data();
    void lokalstartOpensCommPort();
    void simuliertClosesThePort();
    void testWalksTheBitHalfASecondApart();
    void heartbeatTimerStopsItselfInLocalMode();
    void isInvisibleOnARunningForm();

private:
    CallLog m_log;
};

void TestSorvelLocal::init()
{
    m_log.clear();
}

void TestSorvelLocal::membersStandInTheirOrder()
{
    const QMetaObject &meta = Sorvel::staticMetaObject;
    QStringList members;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        members.append(QString::fromLatin1(meta.method(i).methodSignature()));
    QCOMPARE(members,
             QStringList({ "CommPort()", "setCommPort(Com)", "IP(QString)", "lokalstart()",
                           "Test()", "simuliert()", "Ausgabe(qint16&)", "Eingabe()",
                           "Analogwert(qint16&)", "Analogkanal(qint16&)", "Analogsend(qint16&)" }));

    QCOMPARE(meta.classInfo(meta.indexOfClassInfo("TypeLibrary")).value(), "Ferrolink");
    QCOMPARE(meta.classInfo(meta.indexOfClassInfo("DefaultInterface")).value(), "_Sorvel");
    const QMetaEnum com = meta.enumerator(meta.indexOfEnumerator("Com"));
    QCOMPARE(com.keyCount(), 4);
    QCOMPARE(com.valueToKey(3), "COM4");
    const QMetaProperty port = meta.property(meta.indexOfProperty("CommPort"));
    QVERIFY(port.isEnumType() && port.isWritable());
}

void TestSorvelLocal::writesAreClampedAndWrittenBack_data()
{
    QTest::addColumn<QByteArray>("member");
    QTest::addColumn<qint16>("value");
    QTest::addColumn<qint16>("writtenBack");
    // What reaches the library; Analogkanal is followed by Analogsend(7),
    // whose channel shows what Analogkanal stored.
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("Ausgabe below")
        << QByteArray("Ausgabe") << qint16(-5) << qint16(0) << QStringList { "DOUT 0" };
    QTest::newRow("Ausgabe above")
        << QByteArray("Ausgabe") << qint16(300) << qint16(255) << QStringList { "DOUT 255" };
    QTest::newRow("Ausgabe inside")
        << QByteArray("Ausgabe") << qint16(77) << qint16(77) << QStringList { "DOUT 77" };
    QTest::newRow("Ausgabe lowest")
        << QByteArray("Ausgabe") << qint16(-32768) << qint16(0) << QStringList { "DOUT 0" };
    QTest::newRow("Analogsend before any channel")
        << QByteArray("Analogsend") << qint16(1000) << qint16(255) << QStringList { "AOUT 0 255" };
    QTest::newRow("Analogsend below")
        << QByteArray("Analogsend") << qint16(-1) << qint16(0) << QStringList { "AOUT 0 0" };
    QTest::newRow("Analogkanal 0")
        << QByteArray("Analogkanal") << qint16(0) << qint16(1) << QStringList { "AOUT 1 7" };
    QTest::newRow("Analogkanal 7")
        << QByteArray("Analogkanal") << qint16(7) << qint16(2) << QStringList { "AOUT 2 7" };
    QTest::newRow("Analogkanal 2")
        << QByteArray("Analogkanal") << qint16(2) << qint16(2) << QStringList { "AOUT 2 7" };
    QTest::newRow("Analogwert unclamped")
        << QByteArray("Analogwert") << qint16(-3) << qint16(-3) << QStringList { "AIN -3" };
}

void TestSorvelLocal::writesAreClampedAndWrittenBack()
{
    QFETCH(QByteArray, member);
    QFETCH(qint16, value);
    QFETCH(qint16, writtenBack);
    QFETCH(QStringList, calls);

    for (const bool byName : { false, true }) {
        m_log.clear();
        Sorvel control;
        qint16 variable = value;
        if (byName)
            callByName(control, member, variable);
        else
            callDirectly(control, member, variable);
        QCOMPARE(variable, writtenBack);
        if (member == "Analogkanal") {
            qint16 seven = 7;
            control.Analogsend(seven);
        }
        QCOMPARE(m_log.lines(), calls);
    }
}

void TestSorvelLocal::readsReturnWhatTheLibraryReads()
{
    Sorvel control;
    qputenv("FAKE_RSAPI_DIN", "173");
    QCOMPARE(control.Eingabe(), qint16(173));
    qputenv("FAKE_RSAPI_DIN", "-2");
    QCOMPARE(control.Eingabe(), qint16(-2));

    qint16 channel = -3;
    QCOMPARE(control.Analogwert(channel), qint16(1000 - 3));
    qint16 result = 0;
    channel = 2;
    QVERIFY(QMetaObject::invokeMethod(&control, "Analogwert", Qt::DirectConnection,
                                      Q_RETURN_ARG(qint16, result), Q_ARG(qint16 &, channel)));
    QCOMPARE(result, qint16(1002));
    QCOMPARE(m_log.lines(), QStringList({ "DIN", "DIN", "AIN -3", "AIN 2" }));
}

void TestSorvelLocal::lokalstartOpensCommPort_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("COM1") << 0 << QStringList { "INITSIOS 0" };
    QTest::newRow("COM4") << 3 << QStringList { "INITSIOS 3" };
    QTest::newRow("negative, passed on") << -1 << QStringList { "INITSIOS -1" };
    QTest::newRow("largest 16-bit") << 32767 << QStringList { "INITSIOS 32767" };
    // Does not fit 16 bits: the overflow is absorbed, nothing is opened.
    QTest::newRow("above 32767") << 32768 << QStringList {};
    QTest::newRow("far above") << 40000 << QStringList {};
    QTest::newRow("below -32768") << -40000 << QStringList {};
}

void TestSorvelLocal::lokalstartOpensCommPort()
{
    QFETCH(int, port);
    QFETCH(QStringList, calls);

    Sorvel control;
    QVERIFY(control.setProperty("CommPort", port));
    QCOMPARE(int(control.CommPort()), port);
    control.lokalstart();
    QCOMPARE(m_log.lines(), calls);

    // Still in local mode: the next write reaches the library.
    qint16 value = 9;
    control.Ausgabe(value);
    QCOMPARE(m_log.lines(), calls + QStringList { "DOUT 9" });
}

void TestSorvelLocal::simuliertClosesThePort()
{
    Sorvel control;
    QCOMPARE(control.CommPort(), Sorvel::COM2);
    control.lokalstart();
    control.simuliert();
    qint16 value = 1;
    control.Ausgabe(value);
    QCOMPARE(m_log.lines(), QStringList({ "INITSIOS 1", "CLOSECOM", "DOUT 1" }));
}

void TestSorvelLocal::testWalksTheBitHalfASecondApart()
{
    Sorvel control;
    // The calls come while Test() handles events: note when each arrives.
    QList<qint64> times;
    QElapsedTimer clock;
    QTimer watch;
    watch.setTimerType(Qt::PreciseTimer);
    connect(&watch, &QTimer::timeout, this, [&] {
        while (times.size() < m_log.calls("DOUT").size())
            times.append(clock.elapsed());
    });
    watch.start(5);
    clock.start();
    control.Test();
    const qint64 took = clock.elapsed();
    watch.stop();

    QCOMPARE(m_log.arguments("DOUT"), QList<int>({ 1, 2, 4, 8, 16, 32, 64, 128 }));
    QCOMPARE(times.size(), 8);
    for (int i = 1; i < times.size(); ++i) {
        const qint64 gap = times[i] - times[i - 1];
        QVERIFY2(gap >= 480 && gap <= 800, qPrintable(QStringLiteral("gap %1 ms").arg(gap)));
    }
    QVERIFY2(took >= 4000 && took < 6000, qPrintable(QStringLiteral("took %1 ms").arg(took)));
}

void TestSorvelLocal::heartbeatTimerStopsItselfInLocalMode()
{
    Sorvel control;
    auto *timer = control.findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 3000);
    QVERIFY(m_log.lines().isEmpty());
}

void TestSorvelLocal::isInvisibleOnARunningForm()
{
    QWidget form;
    form.resize(200, 100);
    auto *control = new Sorvel(&form);
    control->setGeometry(10, 10, 34, 34);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(!control->isVisible());
    QCOMPARE(control->size(), QSize(0, 0));
    QCOMPARE(form.childAt(20, 20), nullptr);
}

QTEST_MAIN(TestSorvelLocal)
#include "tst_sorvellocal.moc"
