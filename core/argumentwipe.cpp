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

TakenArguments::TakenArguments(int argc, char** argv)
    : m_count(argc)
{
    m_copies.reserve(size_t(argc));
    for (int i = 0; i < argc; ++i)
        m_copies.emplace_back(argv[i]);
    for (QByteArray& copy : m_copies)
        m_values.push_back(copy.data());
    m_values.push_back(nullptr);
    for (int i = 1; i < argc; ++i)
        wipeArgument(argv[i]);
}

} // namespace fee
