#include "halvexprocess.h"

#include "halvexclient.h"
#include "residentsize.h"

#include <QTest>

#include <csignal>

HalvexProcess::HalvexProcess() : m_environment(QProcessEnvironment::systemEnvironment())
{
    m_environment.insert("QT_QPA_PLATFORM", "offscreen");
}

HalvexProcess::~HalvexProcess()
{
    kill();
}

void HalvexProcess::useLibraryFolder(const QString &folder)
{
    QStringList path = { folder, qEnvironmentVariable("FERROLINK_DEFAULT_LIBRARY_PATH") };
    path.removeAll(QString());
    m_environment.insert("LD_LIBRARY_PATH", path.join(u':'));
}

void HalvexProcess::setEnvironment(const QString &name, const QString &value)
{
    m_environment.insert(name, value);
}

bool HalvexProcess::startAndWaitUntilListening(int timeoutMs)
{
    return start() && waitUntilListening(timeoutMs);
}

bool HalvexProcess::start()
{
    m_errors.clear();
    m_process.setProcessEnvironment(m_environment);
    m_process.start(qEnvironmentVariable("FERROLINK_BIN_DIR") + QStringLiteral("/halvex"),
                    m_arguments);
    return m_process.waitForStarted(5000);
}

bool HalvexProcess::waitForLog(const QByteArray &text, int timeoutMs)
{
    return QTest::qWaitFor([&] { return errors().contains(text); }, timeoutMs);
}

QByteArray HalvexProcess::errors()
{
    m_errors += m_process.readAllStandardError();
    return m_errors;
}

bool HalvexProcess::waitUntilListening(int timeoutMs)
{
    HalvexClient probe;
    if (!probe.beServed(timeoutMs))
        return false;
    // The goodbye frees the server for the test's own clients.
    probe.send("I");
    probe.waitForServerClose(3000);
    return true;
}

bool HalvexProcess::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

int HalvexProcess::exitCode() const
{
    if (isRunning() || m_process.exitStatus() != QProcess::NormalExit)
        return -1;
    return m_process.exitCode();
}

long HalvexProcess::residentKiB() const
{
    return ::residentKiB(pid());
}

void HalvexProcess::signal(int number) const
{
    if (pid() > 0)
        ::kill(pid_t(pid()), number);
}

void HalvexProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}
