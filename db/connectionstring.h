#pragma once

#include "db/dbconnection.h"

#include <QMap>
#include <QString>

namespace fee {

// What a connection string asks for.
struct ConnectionTarget {
    DbBackend backend = DbBackend::None;
    QString odbc; // SQL Server: the ODBC string handed to the driver manager
    QString sqlitePath; // embedded database file
};

// Splits "key=value;key=value" (values optionally in apostrophes or double
// quotes, a doubled quote inside standing for one); keys are lower-cased.
QMap<QString, QString> parseConnectionString(const QString& text);

// True when the string is an ODBC one ("Driver=", "DSN=" or "FileDSN="),
// handed to the driver manager unchanged.
bool namesOdbcDriver(const QString& text);

// Throws Failure when the string names no usable backend.
ConnectionTarget translateConnectionString(const QString& text);

// The connection string the stored settings give, as the sites' settings have
// always produced it; a value that would change its meaning is quoted.
QString connectionStringFromSettings(const QString& svr, const QString& uid, const QString& pwd,
    const QString& dbName);

} // namespace fee
