#include "cli/pdfoutput.h"

#include "cli/clioutput.h"
#include "cli/commandparser.h"

#include "print/gridpdf.h"

namespace fee::cli {

PdfOutput::PdfOutput(const QString& command)
    : m_command(command)
    , m_pdf(QStringLiteral("pdf"), QStringLiteral("PDF file: the printout."), QStringLiteral("FILE"))
    , m_paper(QStringLiteral("paper"),
          QStringLiteral("Paper of the PDF: auto takes the first of A4 portrait, A4 landscape and A3 landscape the "
                         "table fits, else shrinks it to A3 landscape (text no smaller than 8 points; a table "
                         "still too wide prints in parts of columns); A4 or A3 take that paper, portrait or "
                         "landscape as the table needs, and print a wider table cut off."),
          QStringLiteral("auto|A4|A3"), QStringLiteral("auto"))
    , m_fit(QStringLiteral("fit"),
          QStringLiteral("Shrink a table wider than the paper to the paper's width (landscape; A3 for auto)."))
{
}

void PdfOutput::addOptions(CommandParser& parser) const
{
    parser.addOption(m_pdf);
    parser.addOption(m_paper);
    parser.addOption(m_fit);
}

bool PdfOutput::isSet(const CommandParser& parser) const { return parser.isSet(m_pdf); }

std::optional<int> PdfOutput::read(const CommandParser& parser)
{
    m_target = parser.value(m_pdf);
    if (parser.isSet(m_pdf) && m_target.isEmpty())
        return parser.usageError(QStringLiteral("--pdf needs a file name"));
    QString paper;
    if (auto stop = parser.readChoice(m_paper, { QStringLiteral("auto"), QStringLiteral("A4"), QStringLiteral("A3") },
            paper))
        return stop;
    if (parser.isSet(m_paper) && !parser.isSet(m_pdf))
        return parser.usageError(QStringLiteral("--paper goes with --pdf"));
    if (parser.isSet(m_fit) && !parser.isSet(m_pdf))
        return parser.usageError(QStringLiteral("--fit goes with --pdf"));
    m_choice = paper == QStringLiteral("A4") ? PrintPaper::A4
        : paper == QStringLiteral("A3")      ? PrintPaper::A3
                                             : PrintPaper::Auto;
    m_fitToWidth = parser.isSet(m_fit);
    return std::nullopt;
}

void PdfOutput::write(const GridModel& grid, const PrintGridOptions& options) const
{
    const GridPdfResult printed = writeGridPdf(grid, m_target, options, m_choice, m_fitToWidth);
    if (!printed.notice.isEmpty())
        printErr(m_command + QStringLiteral(": ") + printed.notice + QLatin1Char('\n'));
}

} // namespace fee::cli
