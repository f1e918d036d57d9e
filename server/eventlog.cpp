// halvex's log: one line per event, stamped unless the journal stamps it.
#include "eventlog.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

#include <sys/stat.h>

namespace ferrolink {

namespace {

// systemd names the journal's stream in JOURNAL_STREAM as "device:inode";
// the variable is inherited by children, so it counts only when it names
// the stream itself.
bool isJournal(std::FILE *stream)
{
    const QList<QByteArray> ids = qgetenv("JOURNAL_STREAM").split(':');
    struct stat status = {};
    if (ids.size() != 2 || ::fstat(fileno(stream), &status) != 0)
        return false;
    return ids[0].toULongLong() == status.st_dev && ids[1].toULongLong() == status.st_ino;
}

} // namespace

EventLog::EventLog(std::FILE *stream, QObject *parent)
    : QObject(parent), m_stream(stream), m_stamped(!isJournal(stream))
{
}

void EventLog::write(const QString &line)
{
    QString text = line;
    if (m_stamped)
        text.prepend(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ")));
    text.append(u'\n');
    std::fputs(text.toLocal8Bit().constData(), m_stream);
    std::fflush(m_stream);
}

} // namespace ferrolink
