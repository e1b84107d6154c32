#include "serverlog.h"

#include <QFile>
#include <QStringList>

ServerLog::ServerLog(const QString& path)
    : m_path(path)
{
    QFile file(m_path);
    if (file.exists())
        m_start = file.size();
}

QStringList ServerLog::lines() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    file.seek(m_start);
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int ServerLog::count(const QString& text) const
{
    int found = 0;
    for (const QString& line : lines())
        found += line.count(text);
    return found;
}
