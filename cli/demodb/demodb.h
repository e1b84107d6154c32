#pragma once

#include <QString>
#include <cstdint>

namespace fee::demo {

struct DemoDbOptions {
    QString path;
    std::uint64_t seed = 1;
    int offices = 8; // offices with households; three special ones are added
    int rooms = 60; // rooms per office
    bool plainCollation = false;
    // Residential offices whose households mostly pay late or not at all
    // (the 2nd, 4th, ... residential office), for charts worth looking at; 0
    // leaves every office as the seed makes it.
    int poorOffices = 0;
};

// Builds a new demo database at options.path, replacing an existing file only
// once the new one is complete. Returns the one-line summary of row counts.
// Throws Failure.
QString buildDemoDb(const DemoDbOptions& options);

} // namespace fee::demo
