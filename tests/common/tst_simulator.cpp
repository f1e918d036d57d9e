// The simulated interface library as programs see it: found by default,
// shared between processes, replaced by whatever library comes first on
// LD_LIBRARY_PATH.
#include "error.h"
#include "interfacelibrary.h"
#include "simulatedinterface.h"

#include <QProcess>
#include <QTest>

using namespace ferrolink;

namespace {

// Runs the probe program with the given library folder first on the search
// path ("" = the default search path) and returns what it printed.
QString probe(const QStringList &arguments, const QString &libraryPath = QString())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QStringList path = { libraryPath, qEnvironmentVariable("FERROLINK_DEFAULT_LIBRARY_PATH") };
    path.removeAll(QString());
    environment.insert("LD_LIBRARY_PATH", path.join(u':'));
    process.setProcessEnvironment(environment);
    process.start(RSAPIPROBE, arguments);
    if (!process.waitForFinished(10000))
        return QStringLiteral("timeout");
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

QString fakeFolder(const char *variant)
{
    return qEnvironmentVariable("FERROLINK_FAKES_DIR") + u'/' + QLatin1String(variant);
}

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    void init() { SimulatedInterface().reset(); }
    void actsOnTheSharedInterface();
    void isSharedWithOtherProcesses();
    void aLibraryOnTheSearchPathTakesItsPlace();
};

void TestSimulator::actsOnTheSharedInterface()
{
    InterfaceLibrary library(SIMULATOR_LIBRARY);
    SimulatedInterface state;
    QVERIFY(state.valid());

    // Works with the port closed, as without an interface.
    QVERIFY(!state.portOpen());
    library.DOUT(0x1a5);
    QCOMPARE(state.outputs(), uint8_t(0xa5));
    library.DOUT(-1);
    QCOMPARE(state.outputs(), uint8_t(0xff));

    state.setInputs(77);
    QCOMPARE(library.DIN(), int16_t(77));

    state.setAnalogInput(1, 12);
    state.setAnalogInput(2, 300);
    state.setAnalogInput(3, 99);
    QCOMPARE(library.AIN(1), int16_t(12));
    QCOMPARE(library.AIN(2), int16_t(255));
    QCOMPARE(library.AIN(0), int16_t(0));
    QCOMPARE(library.AIN(3), int16_t(0));
    QCOMPARE(library.AIN(-1), int16_t(0));

    library.AOUT(1, 100);
    library.AOUT(2, 1000);
    library.AOUT(0, 50);
    QCOMPARE(state.analogOutput(1), uint8_t(100));
    QCOMPARE(state.analogOutput(2), uint8_t(255));
    library.AOUT(2, -5);
    QCOMPARE(state.analogOutput(2), uint8_t(0));

    QCOMPARE(library.FINDHARD(0), SimulatedInterface::SimulatedPort);
    QVERIFY(state.hardwareFound());
    library.INITSIOS(3);
    QVERIFY(state.portOpen());
    QCOMPARE(state.port(), int16_t(3));
    library.CLOSECOM();
    QVERIFY(!state.portOpen());
    library.DOUT(9);
    QCOMPARE(state.outputs(), uint8_t(9));
}

void TestSimulator::isSharedWithOtherProcesses()
{
    SimulatedInterface state;
    const uint32_t before = state.changes();

    // Another program writes; this one sees it at once, and the other way.
    QCOMPARE(probe({ "DOUT", "200" }), QString("0"));
    QCOMPARE(state.outputs(), uint8_t(200));
    QVERIFY(state.changes() != before);
    state.setInputs(33);
    QCOMPARE(probe({ "DIN" }), QString("33"));
    state.setAnalogInput(2, 128);
    QCOMPARE(probe({ "AIN", "2" }), QString("128"));
    QCOMPARE(probe({ "INITSIOS", "1" }), QString("0"));
    QVERIFY(state.portOpen());
    QCOMPARE(state.port(), int16_t(1));
}

void TestSimulator::aLibraryOnTheSearchPathTakesItsPlace()
{
    SimulatedInterface state;
    QCOMPARE(probe({ "DOUT", "5" }, fakeFolder("recording")), QString("0"));
    QCOMPARE(state.outputs(), uint8_t(0)); // the simulator was not called

    const QString garbage = probe({ "DIN" }, fakeFolder("garbage"));
    QVERIFY2(garbage.startsWith("error 48: "), qPrintable(garbage));
    const QString missing = probe({ "DIN" }, fakeFolder("nodin"));
    QVERIFY2(missing.startsWith("error 453: "), qPrintable(missing));
    QCOMPARE(probe({ "AIN", "4" }, fakeFolder("nodin")), QString("1004"));
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
