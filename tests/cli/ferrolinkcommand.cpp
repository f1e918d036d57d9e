#include "ferrolinkcommand.h"

#include <QTest>

#include <csignal>

FerrolinkCommand::FerrolinkCommand() : m_environment(QProcessEnvironment::systemEnvironment()) { }

FerrolinkCommand::~FerrolinkCommand()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString FerrolinkCommand::program()
{
    return qEnvironmentVariable("FERROLINK_BIN_DIR") + QStringLiteral("/ferrolink");
}

void FerrolinkCommand::useLibraryFolder(const QString &folder)
{
    QStringList path = { folder, qEnvironmentVariable("FERROLINK_DEFAULT_LIBRARY_PATH") };
    path.removeAll(QString());
    m_environment.insert("LD_LIBRARY_PATH", path.join(u':'));
}

void FerrolinkCommand::setEnvironment(const QString &name, const QString &value)
{
    m_environment.insert(name, value);
}

bool FerrolinkCommand::run(const QStringList &arguments, int timeoutMs)
{
    start(arguments);
    return waitForEnd(timeoutMs);
}

void FerrolinkCommand::start(const QStringList &arguments)
{
    m_out.clear();
    m_process.setProcessEnvironment(m_environment);
    m_process.start(program(), arguments);
    m_process.waitForStarted(5000);
}

bool FerrolinkCommand::waitForLines(int count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return lines().size() >= count; }, timeoutMs);
}

bool FerrolinkCommand::waitForEnd(int timeoutMs)
{
    return QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
}

void FerrolinkCommand::signal(int number) const
{
    if (m_process.processId() > 0)
        ::kill(pid_t(m_process.processId()), number);
}

void FerrolinkCommand::startIntoHead(const QStringList &arguments)
{
    m_out.clear();
    m_process.setProcessEnvironment(m_environment);
    m_process.start(
        QStringLiteral("bash"),
        QStringList { "-c", "\"$@\" | head -n 1; exit \"${PIPESTATUS[0]}\"", "bash", program() }
            + arguments);
    m_process.waitForStarted(5000);
}

int FerrolinkCommand::exitStatus() const
{
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

QStringList FerrolinkCommand::lines()
{
    m_out += m_process.readAllStandardOutput();
    return QString::fromLocal8Bit(m_out).split(u'\n', Qt::SkipEmptyParts);
}

QString FerrolinkCommand::errors()
{
    return QString::fromLocal8Bit(m_process.readAllStandardError());
}
