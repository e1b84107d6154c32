#pragma once

#include "core/sessioninfo.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace fee {

// A finished login handed over by a calling program.
struct StartupCommand {
    SessionInfo session;
    QString connectionString;
};

// The command line as one text: the arguments after the program's name joined
// with single blanks. A calling program passes the whole line as one argument;
// a line that a shell split at its blanks is joined back the same way.
QString commandLineText(const QStringList& argumentsAfterProgram);

// Splits the line on "【】": first the ten session fields separated by "{}",
// then the connection string, then a third piece that must exist but is not
// used. Nothing is trimmed and empty parts count. An empty line, fewer
// than three parts or fewer than ten fields give no command: the login window
// is shown instead.
std::optional<StartupCommand> parseStartupCommand(const QString& commandLine);

} // namespace fee
