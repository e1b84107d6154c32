#include "core/argumentwipe.h"

#include <cstring>

namespace fee {

void wipeArgument(char* argument)
{
    if (!argument)
        return;
    // The terminating NUL stays: the kernel reads the arguments as the
    // NUL-separated bytes between their first and last address, and a
    // missing NUL at the end would make it read on into the environment.
    std::memset(argument, 'x', std::strlen(argument));
}

} // namespace fee
