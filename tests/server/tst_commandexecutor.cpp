// The server's request table without a window or a port: which call each
// letter makes on the recording interface library, which reply a read gets,
// and which activity the window is told to show.
#include "commandexecutor.h"
#include "interfacelibrary.h"
#include "protocol.h"
#include "requestsplitter.h"

#include "calllog.h"

#include <QTest>

using ferrolink::CommandExecutor;

class TestCommandExecutor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void eachLetterMakesItsCall_data();
    void eachLetterMakesItsCall();
    void theChannelChosenLastIsWritten();

private:
    // The requests of `text`, carried out in order; the outcome of the last.
    CommandExecutor::Outcome run(CommandExecutor &commands, const QByteArray &text);

    CallLog m_calls;
};

void TestCommandExecutor::init()
{
    m_calls.clear();
    qputenv("FAKE_RSAPI_DIN", "5");
}

CommandExecutor::Outcome TestCommandExecutor::run(CommandExecutor &commands, const QByteArray &text)
{
    ferrolink::RequestSplitter requests;
    requests.feed(text);
    CommandExecutor::Outcome outcome;
    while (const std::optional<ferrolink::Request> request = requests.next())
        outcome = commands.execute(*request);
    return outcome;
}

void TestCommandExecutor::eachLetterMakesItsCall_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("reply"); // -1: none
    QTest::addColumn<QString>("activity"); // empty: no command, a beep
    QTest::addColumn<bool>("goodbye");

    QTest::newRow("S writes the outputs")
        << QByteArray("5S") << QStringList { "DOUT 5" } << -1 << "Schreibe... (D)" << false;
    QTest::newRow("S passes any value on")
        << QByteArray("-300S") << QStringList { "DOUT -300" } << -1 << "Schreibe... (D)" << false;
    QTest::newRow("R reads the inputs")
        << QByteArray("R") << QStringList { "DIN" } << 5 << "Lese... (D)" << false;
    QTest::newRow("A reads that analog input")
        << QByteArray("3A") << QStringList { "AIN 3" } << 1003 << "Lese... (A)" << false;
    QTest::newRow("B only remembers the channel")
        << QByteArray("2B") << QStringList {} << -1 << "Analogkanal... (A)" << false;
    QTest::newRow("C before any B writes channel 0")
        << QByteArray("100C") << QStringList { "AOUT 0 100" } << -1 << "Schreibe ... (A)" << false;
    QTest::newRow("K only shows the heartbeat")
        << QByteArray("K") << QStringList {} << -1 << "Heartbeat" << false;
    QTest::newRow("I is the goodbye")
        << QByteArray("I") << QStringList {} << -1 << QString::fromUtf8("Rücksetzen!") << true;
    QTest::newRow("a lower-case letter is no command")
        << QByteArray("5s") << QStringList {} << -1 << QString() << false;
    QTest::newRow("an overflowing number writes 0")
        << QByteArray("99999S") << QStringList { "DOUT 0" } << -1 << "Schreibe... (D)" << false;
}

void TestCommandExecutor::eachLetterMakesItsCall()
{
    QFETCH(QByteArray, request);
    QFETCH(QStringList, calls);
    QFETCH(int, reply);
    QFETCH(QString, activity);
    QFETCH(bool, goodbye);

    ferrolink::InterfaceLibrary library;
    CommandExecutor commands(library);
    const CommandExecutor::Outcome outcome = run(commands, request);

    QCOMPARE(m_calls.lines(), calls);
    QCOMPARE(outcome.reply.has_value(), reply != -1);
    if (outcome.reply)
        QCOMPARE(int(*outcome.reply), reply);
    QCOMPARE(QString::fromUtf8(outcome.activity), activity);
    QCOMPARE(outcome.goodbye, goodbye);
}

void TestCommandExecutor::theChannelChosenLastIsWritten()
{
    ferrolink::InterfaceLibrary library;
    CommandExecutor commands(library);
    run(commands, "2B128C7B9C");
    QCOMPARE(m_calls.lines(), QStringList({ "AOUT 2 128", "AOUT 7 9" }));
    QCOMPARE(commands.ausgabekanal(), int16_t(7));
}

QTEST_GUILESS_MAIN(TestCommandExecutor)
#include "tst_commandexecutor.moc"
