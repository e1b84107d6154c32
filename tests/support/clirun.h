#pragma once

// Runs the command-line tool as a user would and reads what it wrote.

#include <QList>
#include <QProcess>
#include <QStringList>

namespace fee::testing {

// One run of fee-reports-cli: exit code (-1 when it crashed or hung),
// standard output, standard error.
struct CliResult {
    int exitCode;
    QByteArray out;
    QString err;
};

inline CliResult runCli(const QStringList& args, int timeoutMs = 120000)
{
    QProcess p;
    p.start(QStringLiteral(FEE_CLI_PATH), args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return { -1, {}, QStringLiteral("did not finish") };
    }
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
        QString::fromUtf8(p.readAllStandardError()) };
}

// The records of the tool's CSV (RFC 4180: quoted fields may hold commas,
// quotes and line ends). False when a CR stands outside quotes (the tool
// ends lines with LF alone) or the last record lacks its LF.
inline bool parseCsv(const QByteArray& data, QList<QStringList>& records)
{
    records.clear();
    const QString text = QString::fromUtf8(data);
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            record << field;
            field.clear();
        } else if (c == u'\n') {
            records << (record << field);
            record.clear();
            field.clear();
        } else if (c == u'\r') {
            return false;
        } else {
            field += c;
        }
    }
    return !quoted && record.isEmpty() && field.isEmpty();
}

// The records, or none when the CSV is malformed.
inline QList<QStringList> csvRecords(const QByteArray& data)
{
    QList<QStringList> records;
    return parseCsv(data, records) ? records : QList<QStringList> {};
}

} // namespace fee::testing
