// The command line of ferrolink, read and checked before anything is sent.
#ifndef FERROLINK_COMMANDLINE_H
#define FERROLINK_COMMANDLINE_H

#include "invocation.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace ferrolink {

// The command line of ferrolink:
//   ferrolink [-s|--server ADDRESS] [options] COMMAND [ARGUMENTS]
// Every number is checked here, so a bad one never becomes a request.
class CommandLine
{
public:
    CommandLine();

    // Reads the program's arguments (the program name first). Throws
    // Failure(UsageError) naming what is wrong.
    Invocation parse(const QStringList &arguments);

    // The text of --help: usage, commands, options and exit statuses.
    QString helpText() const;

private:
    void readOptions(Invocation &invocation) const;
    void readCommand(Invocation &invocation) const;

    QCommandLineParser m_parser;
    QCommandLineOption m_server;
    QCommandLineOption m_timeout;
    QCommandLineOption m_count;
    QCommandLineOption m_bits;
    QCommandLineOption m_port;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
};

} // namespace ferrolink

#endif
