#pragma once

// The requests the SQL Server stand-in (started with -v --log) received from
// the moment the count began: every SQL batch and every RPC call is one
// request, one round trip over the link.

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace fee::testing {

class RequestLog {
public:
    explicit RequestLog(QString path)
        : m_path(std::move(path))
    {
        restart();
    }

    // Counts from now on.
    void restart() { m_start = QFile(m_path).size(); }

    // The log lines of the requests since the count began.
    QStringList requests() const
    {
        static const QRegularExpression request(QStringLiteral("spid \\d+: (batch|RPC) "));
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        file.seek(m_start);
        QStringList found;
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            if (request.match(line).hasMatch())
                found << line;
        }
        return found;
    }
    int count() const { return int(requests().size()); }
    // The requests whose line holds `text` (a procedure's name, a column alias).
    int count(const QString& text) const
    {
        int n = 0;
        for (const QString& line : requests())
            n += line.contains(text) ? 1 : 0;
        return n;
    }

private:
    QString m_path;
    qint64 m_start = 0;
};

} // namespace fee::testing
