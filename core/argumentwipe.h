#pragma once

namespace fee {

// Overwrites an argument of the process in place ("xxxx", same length), so
// that its command line as any local user sees it (ps, /proc/PID/cmdline) no
// longer holds it. Read the argument first: QCoreApplication::arguments()
// reads the same bytes.
void wipeArgument(char* argument);

} // namespace fee
