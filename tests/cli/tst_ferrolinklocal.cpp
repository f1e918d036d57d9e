// The command ferrolink on this PC: what reaches the interface library (the
// recording fake), the simulated interface it finds by default, and the
// failures it reports with their exit statuses.
#include "calllog.h"
#include "ferrolinkcommand.h"
#include "simulatedinterface.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

namespace {

QString fakeFolder(const char *variant)
{
    return qEnvironmentVariable("FERROLINK_FAKES_DIR") + u'/' + QLatin1String(variant);
}

} // namespace

class TestFerrolinkLocal : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void commandsReachTheLibraryClamped_data();
    void commandsReachTheLibraryClamped();
    void badArgumentsAreUsageErrorsAndSendNothing_data();
    void badArgumentsAreUsageErrorsAndSendNothing();
    void libraryFailuresNameTheirNumber_data();
    void libraryFailuresNameTheirNumber();
    void testWalksTheBitHalfASecondAStep();
    void watchPrintsALineForEachChange();
    void watchEndsInOrderOnCtrlC();
    void helpVersionAndManPageAgree();

private:
    CallLog m_log;
    ferrolink::SimulatedInterface m_interface;
};

void TestFerrolinkLocal::init()
{
    m_log.clear();
    m_interface.reset();
}

void TestFerrolinkLocal::commandsReachTheLibraryClamped_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("printed");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("write") << QStringList { "write", "5" } << QStringList { "5" }
                           << QStringList { "DOUT 5" };
    QTest::newRow("write above 255")
        << QStringList { "write", "300" } << QStringList { "255" } << QStringList { "DOUT 255" };
    QTest::newRow("write below 0")
        << QStringList { "write", "--", "-5" } << QStringList { "0" } << QStringList { "DOUT 0" };
    QTest::newRow("write bits") << QStringList { "--bits", "write", "5" }
                                << QStringList { "5 00000101" } << QStringList { "DOUT 5" };
    QTest::newRow("read") << QStringList { "read" } << QStringList { "42" }
                          << QStringList { "DIN" };
    QTest::newRow("read bits") << QStringList { "read", "-b" } << QStringList { "42 00101010" }
                               << QStringList { "DIN" };
    QTest::newRow("analog") << QStringList { "analog", "1" } << QStringList { "1001" }
                            << QStringList { "AIN 1" };
    QTest::newRow("analog unclamped") << QStringList { "analog", "--", "-3" }
                                      << QStringList { "997" } << QStringList { "AIN -3" };
    QTest::newRow("analog-write clamped high")
        << QStringList { "analog-write", "7", "1000" } << QStringList { "2 255" }
        << QStringList { "AOUT 2 255" };
    QTest::newRow("analog-write clamped low")
        << QStringList { "analog-write", "--", "0", "-4" } << QStringList { "1 0" }
        << QStringList { "AOUT 1 0" };
    QTest::newRow("port opened first")
        << QStringList { "--port", "2", "write", "1" } << QStringList { "1" }
        << QStringList { "INITSIOS 2", "DOUT 1" };
}

void TestFerrolinkLocal::commandsReachTheLibraryClamped()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, printed);
    QFETCH(QStringList, calls);

    FerrolinkCommand command;
    command.useLibraryFolder(fakeFolder("recording"));
    command.setEnvironment("FAKE_RSAPI_DIN", "42");
    QVERIFY(command.run(arguments));
    QCOMPARE(command.exitStatus(), 0);
    QCOMPARE(command.lines(), printed);
    QCOMPARE(m_log.lines(), calls);
}

void TestFerrolinkLocal::badArgumentsAreUsageErrorsAndSendNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("says");

    QTest::newRow("no command") << QStringList {} << "no command";
    QTest::newRow("unknown command") << QStringList { "blink" } << "unknown command";
    QTest::newRow("unknown option") << QStringList { "--loud", "read" } << "loud";
    QTest::newRow("negative without --") << QStringList { "write", "-5" } << "after \"--\"";
    QTest::newRow("not a number") << QStringList { "write", "abc" } << "\"abc\"";
    QTest::newRow("too large") << QStringList { "write", "99999999999" } << "-32768 to 32767";
    QTest::newRow("beyond 16 bits") << QStringList { "write", "32768" } << "-32768 to 32767";
    QTest::newRow("hexadecimal") << QStringList { "write", "0x10" } << "\"0x10\"";
    QTest::newRow("fraction") << QStringList { "analog", "1.5" } << "CHANNEL";
    QTest::newRow("missing value") << QStringList { "write" } << "write VALUE";
    QTest::newRow("extra argument") << QStringList { "read", "5" } << "ferrolink [options] read";
    QTest::newRow("analog-write one")
        << QStringList { "analog-write", "1" } << "analog-write CHANNEL VALUE";
    QTest::newRow("zero timeout") << QStringList { "--timeout", "0", "read" } << "--timeout";
    QTest::newRow("bad timeout") << QStringList { "--timeout", "soon", "read" } << "\"soon\"";
    QTest::newRow("zero count") << QStringList { "--count", "0", "watch" } << "--count";
    QTest::newRow("count without watch") << QStringList { "--count", "3", "read" } << "watch";
    QTest::newRow("port with server")
        << QStringList { "-s", "127.0.0.1", "-p", "1", "read" } << "--port";
    QTest::newRow("bad port") << QStringList { "--port", "COM3", "read" } << "PORT";
}

void TestFerrolinkLocal::badArgumentsAreUsageErrorsAndSendNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, says);

    FerrolinkCommand command;
    command.useLibraryFolder(fakeFolder("recording"));
    QVERIFY(command.run(arguments));
    const QString errors = command.errors();
    QCOMPARE(command.exitStatus(), 2);
    QVERIFY2(errors.startsWith("ferrolink: ") && errors.contains(says), qPrintable(errors));
    QVERIFY(errors.contains("--help"));
    QCOMPARE(command.lines(), QStringList());
    QCOMPARE(m_log.lines(), QStringList());
}

void TestFerrolinkLocal::libraryFailuresNameTheirNumber_data()
{
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QString>("says");

    QTest::newRow("not a library") << "garbage"
                                   << "Error 48: ";
    QTest::newRow("lacks DIN") << "nodin"
                               << "Error 453: ";
}

void TestFerrolinkLocal::libraryFailuresNameTheirNumber()
{
    QFETCH(QString, variant);
    QFETCH(QString, says);

    FerrolinkCommand command;
    command.useLibraryFolder(fakeFolder(qPrintable(variant)));
    QVERIFY(command.run({ "read" }));
    const QString errors = command.errors();
    QCOMPARE(command.exitStatus(), 6);
    QVERIFY2(errors.contains("librsapi.so") && errors.contains(says), qPrintable(errors));
    QCOMPARE(command.lines(), QStringList());
}

void TestFerrolinkLocal::testWalksTheBitHalfASecondAStep()
{
    FerrolinkCommand command;
    command.useLibraryFolder(fakeFolder("recording"));
    QVERIFY(command.run({ "test" }, 15000));
    QCOMPARE(command.exitStatus(), 0);
    const QList<int> walk = { 1, 2, 4, 8, 16, 32, 64, 128 };
    QCOMPARE(m_log.arguments("DOUT"), walk);
    QStringList printed;
    for (int value : walk)
        printed << QString::number(value);
    QCOMPARE(command.lines(), printed);
}

// The simulated interface found by default, shared with this test.
void TestFerrolinkLocal::watchPrintsALineForEachChange()
{
    m_interface.setInputs(5);
    m_interface.setAnalogInput(1, 10);
    FerrolinkCommand command;
    command.start({ "watch", "--count", "3" });
    QVERIFY(command.waitForLines(1));
    m_interface.setInputs(7);
    QVERIFY(command.waitForLines(2));
    m_interface.setAnalogInput(2, 200);
    QVERIFY(command.waitForEnd());
    QCOMPARE(command.exitStatus(), 0);
    QCOMPARE(command.lines(), QStringList({ "5 10 0", "7 10 0", "7 10 200" }));
}

void TestFerrolinkLocal::watchEndsInOrderOnCtrlC()
{
    m_interface.setInputs(3);
    FerrolinkCommand command;
    command.start({ "--bits", "watch" });
    QVERIFY(command.waitForLines(1));
    command.signal(SIGINT);
    QVERIFY(command.waitForEnd());
    QCOMPARE(command.exitStatus(), 0);
    QCOMPARE(command.lines(), QStringList({ "3 00000011 0 0" }));
}

void TestFerrolinkLocal::helpVersionAndManPageAgree()
{
    FerrolinkCommand help;
    QVERIFY(help.run({ "--help" }));
    QCOMPARE(help.exitStatus(), 0);
    const QString text = help.lines().join(u'\n');

    FerrolinkCommand version;
    QVERIFY(version.run({ "--version" }));
    QCOMPARE(version.exitStatus(), 0);
    QCOMPARE(version.lines(), QStringList({ "ferrolink " FERROLINK_VERSION }));

    QFile page(QStringLiteral(FERROLINK_MAN_PAGE));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString manual = QString::fromUtf8(page.readAll()).remove(u'\\');

    // Every command, option and exit status of --help is in the man page.
    QStringList words = { "write", "read", "analog", "analog-write", "test", "watch" };
    const QRegularExpression option(QStringLiteral("(--[a-z]+)"));
    for (auto match = option.globalMatch(text); match.hasNext();)
        words << match.next().captured(1);
    const QRegularExpression status(QStringLiteral("^  (\\d+) "),
                                    QRegularExpression::MultilineOption);
    int statuses = 0;
    for (auto match = status.globalMatch(text); match.hasNext(); ++statuses)
        words << QStringLiteral(".B ") + match.next().captured(1) + u'\n';
    QCOMPARE(statuses, 8);
    for (const QString &word : std::as_const(words)) {
        QVERIFY2(text.contains(word.trimmed().remove(".B ")), qPrintable(word));
        QVERIFY2(manual.contains(word), qPrintable(word));
    }
}

QTEST_GUILESS_MAIN(TestFerrolinkLocal)
#include "tst_ferrolinklocal.moc"
