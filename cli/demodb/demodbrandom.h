#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace fee::demo {

// Seeded random source whose output is the same on every platform and library
// version: the engine's sequence is fixed by the language, and the
// distributions below are our own (the library's are not portable).
class DemoRandom {
public:
    explicit DemoRandom(std::uint64_t seed);

    std::uint64_t next() { return m_engine(); }
    // Uniform in [low, high], both included.
    long long between(long long low, long long high);
    // Uniform in [0, 1).
    double unit();
    bool chance(double probability) { return unit() < probability; }

    template <typename T> const T& pick(const std::vector<T>& items) { return items[index(items.size())]; }
    std::size_t index(std::size_t size)
    {
        return static_cast<std::size_t>(between(0, static_cast<long long>(size) - 1));
    }

    std::string personName();
    std::string plateNumber();

private:
    std::mt19937_64 m_engine;
};

} // namespace fee::demo
