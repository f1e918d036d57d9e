// halvex's log: one line per event on stderr.
#ifndef FERROLINK_EVENTLOG_H
#define FERROLINK_EVENTLOG_H

#include <QObject>

#include <cstdio>

namespace ferrolink {

// The server's log: one line per event on a stream (stderr). On a terminal
// or in a file each line starts with the local date and time; when stderr
// is systemd's journal, which stamps every line itself, it does not.
class EventLog : public QObject
{
    Q_OBJECT

public:
    explicit EventLog(std::FILE *stream = stderr, QObject *parent = nullptr);

public slots:
    void write(const QString &line);

private:
    std::FILE *m_stream = nullptr;
    bool m_stamped = true;
};

} // namespace ferrolink

#endif
