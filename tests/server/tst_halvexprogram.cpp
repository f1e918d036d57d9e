// The program halvex as a person or a service manager runs it: without a
// display, against the recording interface library, with a plain TCP client.
#include "calllog.h"
#include "halvexclient.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTest>

#include <csignal>

namespace {

constexpr qint64 Slack = 1500; // ms on top of the watchdog's 15 seconds

} // namespace

class TestHalvexProgram : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void servesAClientWithoutADisplay();
    void endsOnASignalAsEndeDoes_data();
    void endsOnASignalAsEndeDoes();
    void endsWhenThePortIsTaken();

private:
    // Starts halvex with no display at all and waits until its window exists.
    bool start(const QByteArray &din = "0");
    QString errors();

    CallLog m_log;
    QProcess m_halvex;
    QElapsedTimer m_sinceStart;
};

void TestHalvexProgram::init()
{
    m_log.clear();
}

void TestHalvexProgram::cleanup()
{
    if (m_halvex.state() != QProcess::NotRunning) {
        m_halvex.kill();
        m_halvex.waitForFinished(5000);
    }
}

bool TestHalvexProgram::start(const QByteArray &din)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    environment.insert("FAKE_RSAPI_DIN", QString::fromLatin1(din));
    m_halvex.setProcessEnvironment(environment);
    m_sinceStart.start();
    m_halvex.start(QStringLiteral(HALVEX_PROGRAM), {});
    // The window makes its FINDHARD call when it is created.
    return m_halvex.waitForStarted(5000)
        && QTest::qWaitFor([this] { return m_log.lines().contains("FINDHARD 0"); }, 5000);
}

QString TestHalvexProgram::errors()
{
    return QString::fromLocal8Bit(m_halvex.readAllStandardError());
}

void TestHalvexProgram::servesAClientWithoutADisplay()
{
    QVERIFY(start("9"));
    HalvexClient client;
    QVERIFY(!client.connectToServer());
    QVERIFY(client.connectWithin(15000 + Slack));
    QVERIFY2(m_sinceStart.elapsed() >= 10000, qPrintable(QString::number(m_sinceStart.elapsed())));

    client.send("5S");
    client.send("R");
    QCOMPARE(client.replies(1), QList<int16_t>({ 9 }));
    client.send("-1A");
    QCOMPARE(client.replies(1), QList<int16_t>({ 999 }));
    QCOMPARE(m_log.lines(), QStringList({ "FINDHARD 0", "DOUT 5", "DIN", "AIN -1" }));

    // Once the server has closed the connection it listens: no retry needed.
    client.send("I");
    QVERIFY(client.waitForServerClose(3000));
    HalvexClient next;
    QVERIFY(next.connectToServer());
    next.send("R");
    QCOMPARE(next.replies(1), QList<int16_t>({ 9 }));

    ::kill(m_halvex.processId(), SIGTERM);
    QVERIFY(m_halvex.waitForFinished(5000));
    QCOMPARE(m_halvex.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_halvex.exitCode(), 0);
    QVERIFY(errors().contains("halvex runs without a window; Ctrl+C ends it.\n"));
}

void TestHalvexProgram::endsOnASignalAsEndeDoes_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
}

void TestHalvexProgram::endsOnASignalAsEndeDoes()
{
    QFETCH(int, signalNumber);
    QVERIFY(start());
    ::kill(m_halvex.processId(), signalNumber);
    QVERIFY(m_halvex.waitForFinished(5000));
    QCOMPARE(m_halvex.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_halvex.exitCode(), 0);
    // The outputs keep their values.
    QCOMPARE(m_log.lines(), QStringList({ "FINDHARD 0" }));
}

void TestHalvexProgram::endsWhenThePortIsTaken()
{
    QTcpServer holder;
    QVERIFY(holder.listen(QHostAddress::Any, HalvexClient::Port));
    QVERIFY(start());
    QVERIFY(m_halvex.waitForFinished(15000 + Slack));
    QCOMPARE(m_halvex.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_halvex.exitCode(), 1);
    const QString text = errors();
    QVERIFY2(text.contains("Error 98: Cannot listen on port 2001: "), qPrintable(text));
}

QTEST_MAIN(TestHalvexProgram)
#include "tst_halvexprogram.moc"
