// ferrolink from its arguments to its exit status.
#ifndef FERROLINK_PROGRAM_H
#define FERROLINK_PROGRAM_H

#include <QStringList>
#include <QTextStream>

namespace ferrolink {

struct Invocation;

// The command ferrolink from its arguments to its exit status: reads the
// command line, chooses the way to the interface, runs the command and turns
// every failure into a message on stderr and its exit status.
class Program
{
public:
    Program();

    int run(const QStringList &arguments);

private:
    int carryOut(const Invocation &invocation);

    QTextStream m_out;
    QTextStream m_err;
};

} // namespace ferrolink

#endif
