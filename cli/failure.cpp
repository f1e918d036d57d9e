// Why ferrolink cannot go on: its exit status and its message.
#include "failure.h"

namespace ferrolink {

Failure::Failure(ExitStatus status, const QString &message)
    : std::runtime_error(message.toStdString()), m_status(status)
{
}

} // namespace ferrolink
