#include "app/startupcommand.h"

namespace fee {

QString commandLineText(const QStringList& argumentsAfterProgram)
{
    return argumentsAfterProgram.join(QLatin1Char(' '));
}

std::optional<StartupCommand> parseStartupCommand(const QString& commandLine)
{
    if (commandLine.isEmpty())
        return std::nullopt;
    const QStringList parts = commandLine.split(QStringLiteral("【】"), Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (parts.size() < 3)
        return std::nullopt;
    const QStringList fields = parts.at(0).split(QStringLiteral("{}"), Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (fields.size() < SessionInfo::kFieldCount)
        return std::nullopt;

    StartupCommand command;
    for (int i = 0; i < SessionInfo::kFieldCount; ++i)
        command.session.field(i) = fields.at(i);
    command.connectionString = parts.at(1);
    return command;
}

} // namespace fee
