#ifndef FERROLINK_TESTS_HALVEXPROCESS_H
#define FERROLINK_TESTS_HALVEXPROCESS_H

#include <QProcess>
#include <QProcessEnvironment>

// The program halvex run by a test: on the offscreen platform, on the
// interface library the test chooses, stopped when this goes away.
class HalvexProcess
{
public:
    // The program is found in FERROLINK_BIN_DIR. By default it gets the
    // test's own environment (and so the test's fake interface library).
    HalvexProcess();
    ~HalvexProcess();

    // Puts `folder` first on its library search path instead of the test's.
    void useLibraryFolder(const QString &folder);
    void setEnvironment(const QString &name, const QString &value);

    // Starts it and waits until it serves (it listens 10 to 15 s after
    // start; at most `timeoutMs`).
    bool startAndWaitUntilListening(int timeoutMs = 17000);
    // Waits until a server on port 2001 answers a read ("R") on a new
    // connection, then says goodbye ("I") so that it listens again.
    static bool waitUntilListening(int timeoutMs);

    bool isRunning() const;
    qint64 pid() const { return m_process.processId(); }
    // Resident size in KiB (VmRSS), -1 if unknown.
    long residentKiB() const;
    void signal(int number) const;
    // Ends it with SIGKILL and waits until it is gone.
    void kill();
    QByteArray errors() { return m_process.readAllStandardError(); }

private:
    QProcess m_process;
    QProcessEnvironment m_environment;
};

#endif
