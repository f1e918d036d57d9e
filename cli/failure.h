// Why ferrolink cannot go on: its exit status and its message.
#ifndef FERROLINK_FAILURE_H
#define FERROLINK_FAILURE_H

#include "exitstatus.h"

#include <QString>

#include <stdexcept>

namespace ferrolink {

// Why the command cannot go on: the exit status and the line shown on stderr.
class Failure : public std::runtime_error
{
public:
    Failure(ExitStatus status, const QString &message);

    ExitStatus status() const noexcept { return m_status; }
    QString message() const { return QString::fromUtf8(what()); }

private:
    ExitStatus m_status;
};

} // namespace ferrolink

#endif
