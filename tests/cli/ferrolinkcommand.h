#ifndef FERROLINK_TESTS_FERROLINKCOMMAND_H
#define FERROLINK_TESTS_FERROLINKCOMMAND_H

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The command ferrolink (from FERROLINK_BIN_DIR) run by a test. Every wait
// runs the event loop, so a server in the test's process goes on working,
// and every wait is bounded.
class FerrolinkCommand
{
public:
    FerrolinkCommand();
    ~FerrolinkCommand();

    // Puts `folder` first on its library search path.
    void useLibraryFolder(const QString &folder);
    void setEnvironment(const QString &name, const QString &value);

    // Runs it to its end; false if it did not end within `timeoutMs`.
    bool run(const QStringList &arguments, int timeoutMs = 15000);
    void start(const QStringList &arguments);
    // Waits until it has printed `count` lines in all.
    bool waitForLines(int count, int timeoutMs = 5000);
    bool waitForEnd(int timeoutMs = 5000);
    void signal(int number) const;
    // Starts "ferrolink ARGUMENTS | head -n 1" in bash; the exit status is
    // ferrolink's.
    void startIntoHead(const QStringList &arguments);

    int exitStatus() const;
    QStringList lines();
    QString errors();

private:
    static QString program();

    QProcess m_process;
    QProcessEnvironment m_environment;
    QByteArray m_out;
};

#endif
