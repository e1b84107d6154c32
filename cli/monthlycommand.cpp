#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/chartoutput.h"
#include "cli/commands.h"
#include "cli/reportcommand.h"

#include "core/csv.h"
#include "core/failure.h"
#include "db/dbconnection.h"
#include "reports/monthly/monthlychart.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/monthly/monthlyexport.h"
#include "reports/monthly/monthlyselection.h"
#include "reports/monthly/monthlytitle.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/reporttexts.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/runlists.h"
#include "reports/shared/selectionresolver.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

namespace fee::cli {

int runMonthly(const QStringList& args)
{
    ReportCommand command(QStringLiteral("monthly"), ReportCommand::Offices::Listed, QStringLiteral("Workbook file."));
    const QCommandLineOption dateOpt(
        QStringLiteral("date"), QStringLiteral("Statistics date."), QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption kindOpt(QStringLiteral("kind"), QStringLiteral("residential or commercial offices."),
        QStringLiteral("KIND"), QStringLiteral("residential"));
    ChartOutput chart;
    command.addChart(chart);
    command.declare({ dateOpt, kindOpt });

    if (auto stop = command.parse(args))
        return *stop;
    const CommandParser& parser = command.parser();
    QDate date;
    if (auto stop = parser.readDate(dateOpt, date))
        return *stop;
    QString kind;
    if (auto stop = parser.readChoice(kindOpt, { QStringLiteral("residential"), QStringLiteral("commercial") }, kind))
        return *stop;
    const bool commercial = kind == QStringLiteral("commercial");
    if (auto stop = command.readCodesAndOutputs())
        return *stop;

    try {
        DbConnection connection;
        connection.open(command.connectionString());

        MonthlySelection selection;
        selection.statisticsDate = date;
        selection.reportYear = QString::number(date.year());
        QString error;
        const RunLists lists = loadRunLists(
            connection, { monthlyOfficeListStatement(commercial), OfficeNames::OnOneLine, FeeTreeQuery::AllItems });
        selection.offices = officesByCode(lists.offices, command.officeCodes(), &error);
        if (!error.isEmpty())
            return parser.usageError(error + QStringLiteral(" (%1 offices)").arg(kind));
        if (auto stop = command.readFeeItems(lists.feeTree, selection.feeCodes))
            return *stop;
        const SelectionCheck check = checkMonthlySelection(selection, !lists.offices.isEmpty());
        if (!check.isOk())
            return parser.usageError(check.message.text);

        GridModel grid;
        // Offices side by side, as many connections as the window's run uses.
        RunContext run(connection);
        run.setParallelism(RunContext::defaultParallelism(connection.backend()));
        MonthlyEngine(run, selection).fill(grid);

        command.writeCsvOutput(grid);
        const QString title = monthlyReportTitle(commercial);
        if (!command.xlsxTarget().isEmpty()) {
            SummaryWorkbookInfo info;
            info.title = title;
            info.company = QString::fromUtf8(kCompanyLabel);
            info.statisticsDate = date;
            writeMonthlySummaryWorkbook(grid, info, withoutXlsxExtension(command.xlsxTarget()));
        }
        if (command.pdf().wanted()) {
            // The window has no print button: the printout carries the title
            // and the date line of the summary workbook.
            PrintGridOptions options;
            options.title = title;
            options.dateLine = summaryDateLine(date);
            command.pdf().write(grid, options);
        }
        if (chart.wanted())
            chart.write(monthly::rateChart(grid));
    } catch (const Failure& f) {
        return reportFailure(command.name(), f);
    }
    return kExitOk;
}

} // namespace fee::cli
