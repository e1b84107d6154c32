#pragma once

#include <QProcess>
#include <QStringList>

// One run of the command-line tool's daily command: exit code (-1 when it
// crashed or hung), standard output, standard error.
struct CliResult {
    int exitCode;
    QByteArray out;
    QString err;
};

inline CliResult runDailyCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(FEE_CLI_PATH), QStringList { QStringLiteral("daily") } + args);
    if (!p.waitForFinished(120000))
        return { -1, {}, QStringLiteral("did not finish") };
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
        QString::fromUtf8(p.readAllStandardError()) };
}
