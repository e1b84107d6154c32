#pragma once

#include "core/chartdata.h"

#include <QCommandLineOption>
#include <optional>

namespace fee::cli {

class CommandParser;

// --chart FILE: the report's chart as a picture, .png, .svg or .pdf by the name.
class ChartOutput {
public:
    ChartOutput();

    void addOptions(CommandParser& parser) const;
    // Nothing when the option is fine, else the exit code of the usage error printed.
    std::optional<int> read(const CommandParser& parser);
    bool wanted() const { return !m_target.isEmpty(); }
    // Throws Failure.
    void write(const ChartData& data) const;

private:
    QCommandLineOption m_chart;
    QString m_target;
};

} // namespace fee::cli
