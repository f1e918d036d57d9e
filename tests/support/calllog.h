#ifndef FERROLINK_TESTS_CALLLOG_H
#define FERROLINK_TESTS_CALLLOG_H

#include <QString>
#include <QStringList>

// The calls that reached the recording fake interface library, one line
// each ("DOUT 5", "AOUT 2 100", "DIN"), read from the file FAKE_RSAPI_LOG
// names. Works across processes: the fake appends, the test reads.
class CallLog
{
public:
    CallLog();

    QString path() const { return m_path; }
    QStringList lines() const;
    // Lines starting with `function` ("DOUT"), in order.
    QStringList calls(const QString &function) const;
    // The integer arguments of every call of `function`, flattened.
    QList<int> arguments(const QString &function) const;
    void clear();

private:
    QString m_path;
};

#endif
