#pragma once

// Writes a fixture: runs a script of statements on a SQLite file, the way
// every test that needs its own small database builds it.

#include <QFile>
#include <QString>

#include <sqlite3.h>

namespace fee::testing {

// Runs script on the file at path (made when missing). Returns SQLite's
// message when a statement fails, "" when all ran.
inline QString runSqliteScript(const QString& path, const QByteArray& script)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        const QString error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return error;
    }
    char* message = nullptr;
    QString error;
    if (sqlite3_exec(db, script.constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        error = QString::fromUtf8(message ? message : "sqlite3_exec failed");
        sqlite3_free(message);
    }
    sqlite3_close(db);
    return error;
}

// The same on a new file: whatever was at path is gone first.
inline QString createSqliteFixture(const QString& path, const QByteArray& script)
{
    QFile::remove(path);
    return runSqliteScript(path, script);
}

} // namespace fee::testing
