// The programs' command lines, and halvex run with --allow as a service
// manager runs it: offscreen, its log on stderr, ended by SIGTERM.
#include "calllog.h"
#include "halvexclient.h"
#include "halvexprocess.h"
#include "plainconnection.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

constexpr int Wait = 3000; // ms
constexpr int UntilListening = 17000; // ms: the watchdog's 15 s and some slack

} // namespace

class TestHalvexCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void answersHelpVersionAndUsageErrors_data();
    void answersHelpVersionAndUsageErrors();
    void refusesAClientOutsideTheAllowedNetworks();
    void servesAnAllowedClientAndLogsItsSession();

private:
    // The log's lines, which start with a time stamp, without it (Qt's own
    // warnings have none).
    static QStringList logLines(const QByteArray &errors);
    static bool end(HalvexProcess &halvex);

    CallLog m_log;
    // Qt warns on stderr of a program that has no runtime folder.
    QTemporaryDir m_runtime;
};

void TestHalvexCommandLine::init()
{
    m_log.clear();
}

void TestHalvexCommandLine::answersHelpVersionAndUsageErrors_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // stdout for status 0, else stderr
    const QString version = QStringLiteral(FERROLINK_VERSION);
    const QString hint = "Try 'halvex --help'.\n";

    QTest::newRow("halvex --help")
        << "halvex" << QStringList { "--help" } << 0 << "--allow <network>";
    QTest::newRow("halvex --version")
        << "halvex" << QStringList { "--version" } << 0 << "halvex " + version + "\n";
    QTest::newRow("Qt's own option stays Qt's")
        << "halvex" << QStringList { "-platform", "offscreen", "--version" } << 0
        << "halvex " + version + "\n";
    QTest::newRow("unknown option")
        << "halvex" << QStringList { "--bogus" } << 2 << "halvex: Unknown option 'bogus'. " + hint;
    QTest::newRow("argument") << "halvex" << QStringList { "now" } << 2
                              << "halvex: Unexpected argument 'now'. " + hint;
    QTest::newRow("--allow without a network")
        << "halvex" << QStringList { "--allow" } << 2 << "Missing value after '--allow'";
    QTest::newRow("--allow with a host name")
        << "halvex" << QStringList { "--allow", "127.0.0.1", "--allow", "localhost" } << 2
        << "halvex: --allow localhost: not an address or a network. " + hint;
    QTest::newRow("--allow with host bits") << "halvex" << QStringList { "--allow", "127.0.0.1/8" }
                                            << 2 << "the network is 127.0.0.0/8";
    QTest::newRow("panel --help") << "ferrolink-panel" << QStringList { "--help" } << 0 << "closed";
    QTest::newRow("panel --version") << "ferrolink-panel" << QStringList { "--version" } << 0
                                     << "ferrolink-panel " + version + "\n";
    QTest::newRow("panel unknown option")
        << "ferrolink-panel" << QStringList { "-x" } << 2
        << "ferrolink-panel: Unknown option 'x'. Try 'ferrolink-panel --help'.\n";
}

// Nothing else happens: no interface call, no window, no port.
void TestHalvexCommandLine::answersHelpVersionAndUsageErrors()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, output);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", m_runtime.path());
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("FERROLINK_BIN_DIR") + u'/' + program, arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), status);
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    if (status == 0) {
        QVERIFY2(out.contains(output), qPrintable(out));
        QVERIFY2(err.isEmpty(), qPrintable(err));
    } else {
        QVERIFY2(err.contains(output) && err.endsWith(" --help'.\n"), qPrintable(err));
        QCOMPARE(err.count(u'\n'), 1);
        QVERIFY2(out.isEmpty(), qPrintable(out));
    }
    QCOMPARE(m_log.lines(), QStringList());
}

void TestHalvexCommandLine::refusesAClientOutsideTheAllowedNetworks()
{
    HalvexProcess halvex;
    halvex.setEnvironment("XDG_RUNTIME_DIR", m_runtime.path());
    halvex.setArguments({ "--allow", "10.0.0.0/8", "--allow", "::1" });
    QVERIFY(halvex.start());
    QVERIFY(halvex.waitForLog("listening on port 2001", UntilListening));

    PlainConnection client;
    QVERIFY(client.open());
    QVERIFY(client.send("5S"));
    QVERIFY(client.send("R"));
    QVERIFY(client.waitUntilClosedByServer(Wait));
    QCOMPARE(client.received(), QByteArray());
    QVERIFY(end(halvex));
    QCOMPARE(logLines(halvex.errors()),
             QStringList({ "listening on port 2001", "client 127.0.0.1 refused: not in --allow",
                           "ending" }));
    QCOMPARE(m_log.lines(), QStringList({ "FINDHARD 0" }));
}

void TestHalvexCommandLine::servesAnAllowedClientAndLogsItsSession()
{
    HalvexProcess halvex;
    halvex.setEnvironment("XDG_RUNTIME_DIR", m_runtime.path());
    halvex.setArguments({ "--allow", "192.168.0.0/16", "--allow", "127.0.0.1" });
    QVERIFY(halvex.start());
    QVERIFY(halvex.waitForLog("listening on port 2001", UntilListening));

    HalvexClient client;
    QVERIFY(client.connectToServer());
    client.send("5S");
    client.send("R");
    QCOMPARE(client.replies(1).size(), 1);
    client.send("K");
    client.send("I");
    QVERIFY(client.waitForServerClose(Wait));
    QVERIFY(end(halvex));
    QCOMPARE(logLines(halvex.errors()),
             QStringList({ "listening on port 2001", "client 127.0.0.1 connected",
                           "client 127.0.0.1 said goodbye", "listening on port 2001", "ending" }));
    QCOMPARE(m_log.lines(), QStringList({ "FINDHARD 0", "DOUT 5", "DIN" }));
}

QStringList TestHalvexCommandLine::logLines(const QByteArray &errors)
{
    static const QRegularExpression stamp(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d "));
    QStringList lines;
    for (QString line : QString::fromLocal8Bit(errors).split(u'\n')) {
        if (stamp.match(line).hasMatch())
            lines.append(line.remove(stamp));
    }
    return lines;
}

// SIGTERM, as systemctl stop sends it, ends it as Ende does.
bool TestHalvexCommandLine::end(HalvexProcess &halvex)
{
    halvex.signal(SIGTERM);
    return halvex.waitForLog("ending", Wait)
        && QTest::qWaitFor([&] { return !halvex.isRunning(); }, Wait) && halvex.exitCode() == 0;
}

QTEST_GUILESS_MAIN(TestHalvexCommandLine)
#include "tst_halvexcommandline.moc"
