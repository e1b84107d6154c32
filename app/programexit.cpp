#include "app/programexit.h"

#include <cstdio>
#include <cstdlib>

namespace fee {

namespace {
    ProgramEndHandler& endHandler()
    {
        static ProgramEndHandler handler;
        return handler;
    }
} // namespace

void endProgramNow(int exitCode)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

void endProgram(int exitCode)
{
    if (endHandler()) {
        endHandler()(exitCode);
        return;
    }
    endProgramNow(exitCode);
}

void setProgramEndHandler(ProgramEndHandler handler) { endHandler() = std::move(handler); }

} // namespace fee
