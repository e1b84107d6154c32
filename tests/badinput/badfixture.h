#pragma once

#include "tests/support/clirun.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A small generated fee database and copies of it spoilt on purpose, run
// through the command-line tool.
namespace badinput {

// Builds the demo database (two offices with households, five rooms each,
// plain collation so the SQL Server stand-in can serve it). Returns "" or the error.
QString buildSmallDemo(const QString& path);

// Copies `from` to `to` and runs `script` on the copy. Returns "" or the error.
QString copyWith(const QString& from, const QString& to, const QString& script);

using CliRun = fee::testing::CliResult;
using fee::testing::runCli;

inline QString sqliteConnection(const QString& path) { return QStringLiteral("Provider=SQLite;Data Source=") + path; }

} // namespace badinput
