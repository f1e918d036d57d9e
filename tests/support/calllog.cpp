#include "calllog.h"

#include <QFile>

CallLog::CallLog() : m_path(qEnvironmentVariable("FAKE_RSAPI_LOG")) { }

QStringList CallLog::lines() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QStringList CallLog::calls(const QString &function) const
{
    QStringList found;
    for (const QString &line : lines()) {
        if (line == function || line.startsWith(function + u' '))
            found.append(line);
    }
    return found;
}

QList<int> CallLog::arguments(const QString &function) const
{
    QList<int> values;
    for (const QString &line : calls(function)) {
        const QStringList parts = line.split(u' ', Qt::SkipEmptyParts);
        for (qsizetype i = 1; i < parts.size(); ++i)
            values.append(parts[i].toInt());
    }
    return values;
}

void CallLog::clear()
{
    QFile::remove(m_path);
}
