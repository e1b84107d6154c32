#pragma once

#include "db/dbconnection.h"

#include <QMap>
#include <QString>
#include <optional>

namespace fee {

// How the link to SQL Server is protected, as the stored settings' form of
// the string asks for it.
enum class LinkEncryption {
    Default, // no keyword: the driver's default, the login encrypted when the server offers it
    Off, // Encrypt=no: nothing encrypted; a server that requires encryption refuses
    Verify, // Encrypt=yes: the whole connection encrypted, the server's certificate checked
    Trust, // TrustServerCertificate=yes: the whole connection encrypted, the certificate not checked
};

// What a connection string asks for.
struct ConnectionTarget {
    DbBackend backend = DbBackend::None;
    QString odbc; // SQL Server: the ODBC string handed to the driver manager
    QString sqlitePath; // embedded database file

    // SQL Server in the stored settings' form (an ODBC string keeps Default).
    LinkEncryption encryption = LinkEncryption::Default;
    QString encryptionKeyword; // the piece that asked for it, for messages ("Encrypt=no")
    QString certificateFile; // Verify: absolute path of a PEM file; empty: the system's authorities
    QString certificateHost; // Verify: the name the certificate must carry; empty: the host's
    QString host;
    int port = 0; // 0: found through the instance name
    QString instance;
    QString odbcLogin; // the ODBC pieces after the server's: database, login, protocol

    // "Command Timeout" in either form: seconds a request may go unanswered
    // (0: for ever); none when the string does not say.
    std::optional<int> commandTimeout;
};

// Splits "key=value;key=value" (values optionally in apostrophes or double
// quotes, a doubled quote inside standing for one); keys are lower-cased.
// Throws Failure on a piece it cannot read.
QMap<QString, QString> parseConnectionString(const QString& text);

// True when the string is an ODBC one ("Driver=", "DSN=" or "FileDSN="),
// handed to the driver manager unchanged.
bool namesOdbcDriver(const QString& text);

// Throws Failure when the string names no usable backend, or a keyword's
// value is not understood. Reads no file: a certificate file is checked when
// the connection opens.
ConnectionTarget translateConnectionString(const QString& text);

// The connection string the stored settings give, as the sites' settings have
// always produced it; a value that would change its meaning is quoted.
QString connectionStringFromSettings(const QString& svr, const QString& uid, const QString& pwd,
    const QString& dbName);

} // namespace fee
