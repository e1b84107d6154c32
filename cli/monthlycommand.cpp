#include "cli/commands.h"

namespace fee::cli {

int runMonthly(const QStringList&) { return kExitUsage; }

} // namespace fee::cli
