#pragma once

#include <QStringList>

// Each command receives its own arguments (after the command's name) and
// returns the process exit code (cli/clicommand.h).
namespace fee::cli {

int runDemoDb(const QStringList& args);
int runMonthly(const QStringList& args);
int runDaily(const QStringList& args);

} // namespace fee::cli
