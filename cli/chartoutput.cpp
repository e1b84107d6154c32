#include "cli/chartoutput.h"

#include "cli/commandparser.h"
#include "charts/chartfile.h"

namespace fee::cli {

ChartOutput::ChartOutput()
    : m_chart(QStringLiteral("chart"), QStringLiteral("Chart picture: .png, .svg or .pdf."), QStringLiteral("FILE"))
{
}

void ChartOutput::addOptions(CommandParser& parser) const { parser.addOption(m_chart); }

std::optional<int> ChartOutput::read(const CommandParser& parser)
{
    if (!parser.isSet(m_chart))
        return std::nullopt;
    m_target = parser.value(m_chart);
    if (m_target.isEmpty())
        return parser.usageError(QStringLiteral("--chart needs a file name"));
    if (!isChartFileName(m_target))
        return parser.usageError(
            QStringLiteral("--chart needs a name ending in .png, .svg or .pdf, not \"%1\"").arg(m_target));
    return std::nullopt;
}

void ChartOutput::write(const ChartData& data) const { writeChartFile(data, m_target); }

} // namespace fee::cli
