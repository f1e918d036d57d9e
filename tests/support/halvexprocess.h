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
    // Its command-line arguments (none by default).
    void setArguments(const QStringList &arguments) { m_arguments = arguments; }

    // Starts it without waiting for it to serve.
    bool start();
    // Waits until its log on stderr holds `text` (at most `timeoutMs`).
    bool waitForLog(const QByteArray &text, int timeoutMs);

    // Starts it and waits until it serves (it listens 10 to 15 s after
    // start; at most `timeoutMs`).
    bool startAndWaitUntilListening(int timeoutMs = 17000);
    // Waits until a server on port 2001 answers a read ("R") on a new
    // connection, then says goodbye ("I") so that it listens again.
    static bool waitUntilListening(int timeoutMs);

    bool isRunning() const;
    // Its exit status once it has ended normally, else -1.
    int exitCode() const;
    qint64 pid() const { return m_process.processId(); }
    // Resident size in KiB (VmRSS), -1 if unknown.
    long residentKiB() const;
    void signal(int number) const;
    // Ends it with SIGKILL and waits until it is gone.
    void kill();
    // Everything it wrote to stderr so far.
    QByteArray errors();

private:
    QProcess m_process;
    QProcessEnvironment m_environment;
    QStringList m_arguments;
    QByteArray m_errors;
};

#endif
