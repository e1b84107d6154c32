#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace fee::cli {

struct Command;

// The options of one command: parsing, "--help" (the command's synopsis and
// options on standard output, exit 0) and usage errors (the message and the
// synopsis on standard error, exit 2) in one place.
class CommandParser {
public:
    explicit CommandParser(const QString& commandName);

    // Adds an option; "--help"/"-h" is always there.
    void addOption(const QCommandLineOption& option);
    void addPositional(const QString& name, const QString& description);

    // Parses the arguments after the command's name. Returns an exit code when
    // the command is to stop here (help shown: 0; bad arguments: 2), nothing
    // when it may go on.
    std::optional<int> parse(const QStringList& args);

    bool isSet(const QCommandLineOption& option) const { return m_parser.isSet(option); }
    QString value(const QCommandLineOption& option) const { return m_parser.value(option); }
    QStringList positional() const { return m_parser.positionalArguments(); }

    // Prints "COMMAND: message" and the synopsis on standard error; returns 2.
    int usageError(const QString& message) const;

    // Checks shared by the report commands; each returns nothing when the
    // value is fine, else the exit code of the usage error it printed.
    std::optional<int> requireValue(const QCommandLineOption& option) const;
    // A date YYYY-MM-DD (the option must be set).
    std::optional<int> readDate(const QCommandLineOption& option, QDate& date) const;
    // One of the given choices.
    std::optional<int> readChoice(const QCommandLineOption& option, const QStringList& choices, QString& value) const;

    QString helpText() const;

private:
    const Command* m_command;
    QString m_name;
    QCommandLineParser m_parser;
    QList<QCommandLineOption> m_options;
    QList<QPair<QString, QString>> m_positionals;
    QCommandLineOption m_help;
};

} // namespace fee::cli
