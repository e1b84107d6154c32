#pragma once

#include "print/printpagechoice.h"

#include <QCommandLineOption>
#include <optional>

namespace fee {
class GridModel;
}

namespace fee::cli {

class CommandParser;

// The printout options every report command shares: --pdf FILE, --paper
// auto|A4|A3 (default auto) and --fit.
class PdfOutput {
public:
    explicit PdfOutput(const QString& command);

    // Adds --pdf, --paper and --fit to the command's options.
    void addOptions(CommandParser& parser) const;
    // Reads them after parsing: nothing when they are fine, else the exit
    // code of the usage error printed.
    std::optional<int> read(const CommandParser& parser);

    bool wanted() const { return !m_target.isEmpty(); }
    bool isSet(const CommandParser& parser) const;

    // Writes the printout of the grid (paper chosen as the options say) and
    // tells on standard error what became of a table too wide for the page.
    // Throws Failure.
    void write(const GridModel& grid, const PrintGridOptions& options) const;

private:
    QString m_command;
    QCommandLineOption m_pdf;
    QCommandLineOption m_paper;
    QCommandLineOption m_fit;
    QString m_target;
    PrintPaper m_choice = PrintPaper::Auto;
    bool m_fitToWidth = false;
};

} // namespace fee::cli
