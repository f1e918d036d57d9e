// halvex's command line: --help, --version, --allow.
#ifndef FERROLINK_COMMANDLINE_H
#define FERROLINK_COMMANDLINE_H

#include "allowlist.h"

#include <QString>
#include <QStringList>

namespace ferrolink {

// What halvex is asked to do by its arguments (after Qt has taken its own
// options such as -platform): run, possibly serving only the networks of
// --allow, show its usage or its version, or refuse a usage error. Without
// arguments it runs as it always did.
class CommandLine
{
public:
    enum Action { Run, ShowHelp, ShowVersion, UsageError };

    // Exit status of a usage error, as with the system's own commands.
    static constexpr int UsageErrorStatus = 2;

    // `arguments` starts with the program's name.
    explicit CommandLine(const QStringList &arguments);

    Action action() const { return m_action; }
    // The usage, the version line or the one-line hint of a usage error.
    QString text() const { return m_text; }
    const AllowList &allowList() const { return m_allowList; }

    // Prints the text of an action other than Run (a usage error on stderr,
    // the rest on stdout) and returns the program's exit status for it.
    int report() const;

private:
    void fail(const QString &program, const QString &problem);

    Action m_action = Run;
    QString m_text;
    AllowList m_allowList;
};

} // namespace ferrolink

#endif
