#pragma once

#include <QStringList>

// Each sub-command receives its own arguments (after the command's name) and
// returns the process exit code: 0 success, 1 failure of the work (database,
// file), 2 bad arguments.
namespace fee::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int runDemoDb(const QStringList& args);
int runMonthly(const QStringList& args);

} // namespace fee::cli
