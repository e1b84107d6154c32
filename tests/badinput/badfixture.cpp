#include "badfixture.h"

#include "cli/demodb/demodb.h"
#include "common/failure.h"

#include <QFile>
#include <QProcess>
#include <sqlite3.h>

namespace badinput {

QString buildSmallDemo(const QString& path)
{
    fee::demo::DemoDbOptions options;
    options.path = path;
    options.offices = 2;
    options.rooms = 5;
    options.plainCollation = true;
    try {
        fee::demo::buildDemoDb(options);
    } catch (const fee::Failure& failure) {
        return failure.description();
    }
    return QString();
}

QString copyWith(const QString& from, const QString& to, const QString& script)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        return QStringLiteral("cannot copy ") + from;
    sqlite3* db = nullptr;
    if (sqlite3_open(to.toUtf8().constData(), &db) != SQLITE_OK) {
        const QString error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return error;
    }
    char* message = nullptr;
    QString error;
    if (sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        error = QString::fromUtf8(message ? message : "sqlite3_exec failed");
        sqlite3_free(message);
    }
    sqlite3_close(db);
    return error;
}

CliRun runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(FEE_CLI_PATH), args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return { -1, {}, QStringLiteral("did not finish") };
    }
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
        QString::fromUtf8(p.readAllStandardError()) };
}

} // namespace badinput
