// The package for hosts: installs this build into a scratch prefix, builds
// a host project against it with find_package(Ferrolink), and runs the host
// in local mode on the installed simulator and in network mode against a
// recording server.
#include "protocol.h"
#include "recordingserver.h"
#include "simulatedinterface.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

class TestSorvelPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installsWhatHostsNeed();
    void hostDrivesTheInstalledSimulator();
    void hostDrivesAServer();

private:
    bool run(const QStringList &arguments, int timeout);
    void runHost(const QString &mode, QByteArray *output);

    QTemporaryDir m_scratch;
    QString m_prefix;
    QString m_host;
};

bool TestSorvelPackage::run(const QStringList &arguments, int timeout)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(CMAKE_COMMAND_PATH), arguments);
    const bool done = process.waitForFinished(timeout);
    if (!done || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning().noquote() << arguments.join(u' ') << "\n" << process.readAll();
        return false;
    }
    return true;
}

void TestSorvelPackage::initTestCase()
{
    QVERIFY(m_scratch.isValid());
    m_prefix = m_scratch.filePath(QStringLiteral("prefix"));
    const QString hostBuild = m_scratch.filePath(QStringLiteral("host"));
    QVERIFY(run({ "--install", BUILD_DIR, "--prefix", m_prefix }, 60000));

    QStringList configure = { "-S",
                              HOST_SOURCE_DIR,
                              "-B",
                              hostBuild,
                              "-DCMAKE_PREFIX_PATH=" + m_prefix,
                              "-DCMAKE_BUILD_TYPE=Debug" };
    if (HOST_SANITIZE) {
        // A library built with the sanitizers needs their runtime first.
        configure << "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined";
    }
    QVERIFY(run(configure, 60000));
    QVERIFY(run({ "--build", hostBuild }, 120000));
    m_host = hostBuild + QStringLiteral("/host");
    QVERIFY(QFileInfo(m_host).isExecutable());
}

void TestSorvelPackage::installsWhatHostsNeed()
{
    const QDir prefix(m_prefix);
    for (const char *path :
         { "lib/libsorvel.so", "lib/librsapi.so", "include/ferrolink/sorvel.h",
           "include/ferrolink/sorvel_export.h", "lib/cmake/Ferrolink/FerrolinkConfig.cmake",
           "lib/cmake/Ferrolink/FerrolinkConfigVersion.cmake",
           "lib/cmake/Ferrolink/FerrolinkTargets.cmake",
           "lib/qt6/plugins/designer/sorveldesigner.so" })
        QVERIFY2(prefix.exists(QString::fromLatin1(path)), path);
    // Internals stay inside the library.
    QVERIFY(!prefix.exists(QStringLiteral("include/ferrolink/serverconnection.h")));
}

void TestSorvelPackage::runHost(const QString &mode, QByteArray *output)
{
    QProcess host;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The installed RUNPATH alone leads to the simulator; under the
    // sanitizers dlopen() does not see it, so the path is given.
    if (HOST_SANITIZE)
        environment.insert(QStringLiteral("LD_LIBRARY_PATH"), m_prefix + QStringLiteral("/lib"));
    else
        environment.remove(QStringLiteral("LD_LIBRARY_PATH"));
    host.setProcessEnvironment(environment);
    host.start(m_host, { mode });
    // Handles events meanwhile, so the test's server answers.
    QTRY_VERIFY_WITH_TIMEOUT(host.state() == QProcess::NotRunning, 30000);
    QCOMPARE(host.exitCode(), 0);
    *output = host.readAllStandardOutput().trimmed();
}

void TestSorvelPackage::hostDrivesTheInstalledSimulator()
{
    ferrolink::SimulatedInterface interface;
    interface.reset();
    interface.setInputs(0x5a);
    interface.setAnalogInput(1, 200);

    // Ausgabe 300 -> 255, Eingabe, Analogwert(1), Analogkanal 5 -> 2, Analogsend 77;
    // the control is invisible on the host's form.
    QByteArray output;
    runHost(QStringLiteral("local"), &output);
    QCOMPARE(output, QByteArray("255 90 200 2 77 0"));
    QVERIFY(interface.portOpen());
    QCOMPARE(interface.port(), qint16(1));
    QCOMPARE(interface.outputs(), uint8_t(255));
    QCOMPARE(interface.analogOutput(2), uint8_t(77));
}

void TestSorvelPackage::hostDrivesAServer()
{
    RecordingServer server;
    QVERIFY(server.listen(ferrolink::protocol::Port));
    server.setDigitalInput(5);
    QByteArray output;
    runHost(QStringLiteral("net"), &output);
    QCOMPARE(output, QByteArray("255 5 999 2 77 0"));
    // Every request as sent; lokalstart stops the heartbeat before its first beat.
    QCOMPARE(server.requests(true), QByteArrayList({ "255S", "R", "-1A", "2B", "77C", "I" }));
}

QTEST_MAIN(TestSorvelPackage)
#include "tst_sorvelpackage.moc"
