#pragma once

#include <QString>
#include <QVector>

namespace fee::cli {

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1; // the work failed: database, file
constexpr int kExitUsage = 2; // bad arguments

// One command of the tool: its name, its synopsis (the arguments after the
// name, as the usage text shows them), one line on what it does, and the
// function that runs it with the arguments after the name.
struct Command {
    QString name;
    QString synopsis;
    QString summary;
    int (*run)(const QStringList& args);
};

// Every command, in the order the usage text lists them.
const QVector<Command>& commands();
const Command* findCommand(const QString& name);

// The tool's usage text, made from the table.
QString usageText();

} // namespace fee::cli
