// The server's log lines: stamped with the local time on a terminal or in a
// file, plain when the stream is systemd's journal, which stamps them itself.
#include "eventlog.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

class TestEventLog : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { qunsetenv("JOURNAL_STREAM"); }
    void writesOneLinePerEvent_data();
    void writesOneLinePerEvent();
};

void TestEventLog::writesOneLinePerEvent_data()
{
    QTest::addColumn<QString>("journal"); // "this" names the log's own file
    QTest::addColumn<QString>("pattern");
    const QString stamped
        = "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d client 10.0.0.1 connected\\n"
          "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d ending\\n$";
    QTest::newRow("terminal or file") << "" << stamped;
    QTest::newRow("journal of another stream") << "1:2" << stamped;
    QTest::newRow("journal") << "this"
                             << "^client 10.0.0.1 connected\\nending\\n$";
}

void TestEventLog::writesOneLinePerEvent()
{
    QFETCH(QString, journal);
    QFETCH(QString, pattern);
    QTemporaryFile file;
    QVERIFY(file.open());
    std::FILE *stream = fdopen(dup(file.handle()), "w");
    QVERIFY(stream);
    if (journal == QLatin1String("this")) {
        struct stat status = {};
        QCOMPARE(::fstat(fileno(stream), &status), 0);
        journal = QStringLiteral("%1:%2").arg(status.st_dev).arg(status.st_ino);
    }
    if (!journal.isEmpty())
        qputenv("JOURNAL_STREAM", journal.toLatin1());
    {
        ferrolink::EventLog log(stream);
        log.write(QStringLiteral("client 10.0.0.1 connected"));
        log.write(QStringLiteral("ending"));
    }
    std::fclose(stream);
    QFile written(file.fileName());
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QString text = QString::fromLocal8Bit(written.readAll());
    QVERIFY2(QRegularExpression(pattern).match(text).hasMatch(), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestEventLog)
#include "tst_eventlog.moc"
