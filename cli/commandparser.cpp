#include "cli/commandparser.h"

#include "cli/clicommand.h"
#include "cli/clioutput.h"

namespace fee::cli {

CommandParser::CommandParser(const QString& commandName)
    : m_command(findCommand(commandName))
    , m_name(commandName)
    , m_help({ QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help and exit."))
{
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(m_help);
}

void CommandParser::addOption(const QCommandLineOption& option)
{
    m_parser.addOption(option);
    m_options.append(option);
}

void CommandParser::addPositional(const QString& name, const QString& description)
{
    m_parser.addPositionalArgument(name, description);
    m_positionals.append({ name, description });
}

std::optional<int> CommandParser::parse(const QStringList& args)
{
    if (!m_parser.parse(QStringList { m_name } + args))
        return usageError(m_parser.errorText());
    if (m_parser.isSet(m_help)) {
        printOut(helpText());
        return kExitOk;
    }
    if (m_positionals.isEmpty() && !m_parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument: %1").arg(m_parser.positionalArguments().first()));
    return std::nullopt;
}

int CommandParser::usageError(const QString& message) const
{
    printErr(m_name + QStringLiteral(": ") + message + QLatin1Char('\n'));
    printErr(QStringLiteral("usage: fee-reports-cli ") + m_name + QLatin1Char(' ')
        + (m_command ? m_command->synopsis : QString()) + QLatin1Char('\n'));
    return kExitUsage;
}

std::optional<int> CommandParser::requireValue(const QCommandLineOption& option) const
{
    if (!m_parser.isSet(option) || m_parser.value(option).isEmpty())
        return usageError(QStringLiteral("--%1 is required").arg(option.names().first()));
    return std::nullopt;
}

std::optional<int> CommandParser::readDate(const QCommandLineOption& option, QDate& date) const
{
    if (auto stop = requireValue(option))
        return stop;
    const QString text = m_parser.value(option);
    date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return usageError(QStringLiteral("--%1 must be a date YYYY-MM-DD: %2").arg(option.names().first(), text));
    return std::nullopt;
}

std::optional<int> CommandParser::readChoice(
    const QCommandLineOption& option, const QStringList& choices, QString& value) const
{
    value = m_parser.value(option);
    if (!choices.contains(value))
        return usageError(QStringLiteral("--%1 must be %2: %3")
                              .arg(option.names().first(), choices.join(QStringLiteral("|")), value));
    return std::nullopt;
}

QString CommandParser::helpText() const
{
    QString text = QStringLiteral("usage: fee-reports-cli ") + m_name + QLatin1Char(' ')
        + (m_command ? m_command->synopsis : QString()) + QLatin1Char('\n');
    if (m_command)
        text += m_command->summary + QLatin1Char('\n');
    if (!m_positionals.isEmpty()) {
        text += QStringLiteral("\nArguments:\n");
        for (const auto& [name, description] : m_positionals)
            text += QStringLiteral("  %1\n      %2\n").arg(name, description);
    }
    text += QStringLiteral("\nOptions:\n");
    QList<QCommandLineOption> all = m_options;
    all.append(m_help);
    for (const QCommandLineOption& option : all) {
        QStringList names;
        for (const QString& name : option.names())
            names.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
        QString head = names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty())
            head += QLatin1Char(' ') + option.valueName();
        text += QStringLiteral("  ") + head + QLatin1Char('\n');
        QString description = option.description();
        if (!option.defaultValues().isEmpty())
            description += QStringLiteral(" (default: %1)").arg(option.defaultValues().join(QLatin1Char(',')));
        text += QStringLiteral("      ") + description + QLatin1Char('\n');
    }
    text += QStringLiteral("\nExit codes: 0 done, 1 the work failed (database, file), 2 bad arguments.\n");
    return text;
}

} // namespace fee::cli
