#pragma once

#include <functional>

namespace fee {

// Ends the process at once: no further window events run and nothing is
// closed explicitly (the cancel button of the login, a failed login
// connection, the 退出 menu, Yes to the closing question). Tests install a
// handler that records the request instead.
[[noreturn]] void endProgramNow(int exitCode = 0);
void endProgram(int exitCode = 0);

using ProgramEndHandler = std::function<void(int exitCode)>;
void setProgramEndHandler(ProgramEndHandler handler);

} // namespace fee
