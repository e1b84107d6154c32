#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/chartoutput.h"
#include "cli/commands.h"
#include "cli/reportcommand.h"

#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "db/dbconnection.h"
#include "reports/receipts_summary/receiptschart.h"
#include "reports/receipts_summary/receiptsengine.h"
#include "reports/receipts_summary/receiptsexport.h"
#include "reports/receipts_summary/receiptsprint.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/runlists.h"
#include "reports/shared/selectionlists.h"
#include "reports/shared/selectionresolver.h"

#include <QCommandLineParser>

namespace fee::cli {

namespace {

    // An optional date range given by two options: both or neither.
    std::optional<int> readRange(const CommandParser& parser, const QCommandLineOption& from,
        const QCommandLineOption& to, std::optional<DateRange>& range)
    {
        if (!parser.isSet(from) && !parser.isSet(to))
            return std::nullopt;
        if (!parser.isSet(from) || !parser.isSet(to))
            return parser.usageError(
                QStringLiteral("--%1 and --%2 go together").arg(from.names().front(), to.names().front()));
        DateRange r;
        if (auto stop = parser.readDate(from, r.start))
            return stop;
        if (auto stop = parser.readDate(to, r.end))
            return stop;
        range = r;
        return std::nullopt;
    }

} // namespace

int runReceipts(const QStringList& args)
{
    ReportCommand command(QStringLiteral("receipts"), ReportCommand::Offices::Listed,
        QStringLiteral("The summary workbook, written under this very name."));
    const QCommandLineOption fromOpt = receiptsFromOption();
    const QCommandLineOption toOpt = receiptsToOption();
    const QCommandLineOption monthFromOpt(QStringLiteral("month-from"),
        QStringLiteral("Start of the month-to-date column (with --month-to)."), QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption monthToOpt(
        QStringLiteral("month-to"), QStringLiteral("End of the month-to-date column."), QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption yearFromOpt(QStringLiteral("year-from"),
        QStringLiteral("Start of the year-to-date column (with --year-to)."), QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption yearToOpt(
        QStringLiteral("year-to"), QStringLiteral("End of the year-to-date column."), QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption methodOpt(QStringLiteral("method"),
        QStringLiteral("all, or one payment method as the list shows it."), QStringLiteral("NAME"),
        QStringLiteral("all"));
    const QCommandLineOption modeOpt(QStringLiteral("mode"),
        QStringLiteral("0 不分部门统计, 1 按部门统计, 2 按管理项目统计."), QStringLiteral("MODE"),
        QStringLiteral("0"));
    const QCommandLineOption departmentOpt(QStringLiteral("department"),
        QStringLiteral("The session's department code (mode 1)."), QStringLiteral("CODE"));
    ChartOutput chart;
    command.addChart(chart);
    command.declare({ fromOpt, toOpt, monthFromOpt, monthToOpt, yearFromOpt, yearToOpt, methodOpt, modeOpt,
        departmentOpt });

    if (auto stop = command.parse(args))
        return *stop;
    const CommandParser& parser = command.parser();
    ReceiptsSelection selection;
    if (auto stop = parser.readDate(fromOpt, selection.receipts.start))
        return *stop;
    if (auto stop = parser.readDate(toOpt, selection.receipts.end))
        return *stop;
    if (auto stop = readRange(parser, monthFromOpt, monthToOpt, selection.monthToDate))
        return *stop;
    if (auto stop = readRange(parser, yearFromOpt, yearToOpt, selection.yearToDate))
        return *stop;
    QString mode;
    if (auto stop = command.readScope(modeOpt, departmentOpt, mode, selection.departmentCode))
        return *stop;
    selection.mode = static_cast<ReceiptsMode>(mode.toInt());
    const QString method = parser.value(methodOpt);
    if (method.isEmpty())
        return parser.usageError(QStringLiteral("--method needs all or a payment method"));
    if (auto stop = command.readCodesAndOutputs())
        return *stop;

    try {
        DbConnection connection;
        connection.open(command.connectionString());

        QString error;
        const RunLists lists = loadRunLists(connection,
            { receiptsOfficeListStatement(), OfficeNames::AsStored, FeeTreeQuery::InUseByCategory, true });
        selection.offices = officesByCode(lists.offices, command.officeCodes(), &error);
        if (!error.isEmpty())
            return parser.usageError(error);
        // The window checks the offices, then the dates, and only then
        // builds the fee-item list: before --fees is read, a refusal of the
        // fee items only means they are still to come.
        const SelectionCheck early = checkReceiptsSelection(selection);
        if (!early.isOk() && early.field != SelectionCheck::Field::FeeItems)
            return parser.usageError(early.message.text);
        if (auto stop = command.readFeeItems(lists.feeTree, selection.feeCodes))
            return *stop;
        selection.paymentMethods = lists.paymentMethods;
        if (auto stop = command.readPaymentMethod(selection.paymentMethods, method, selection.chosenMethod))
            return *stop;
        const SelectionCheck check = checkReceiptsSelection(selection);
        if (!check.isOk())
            return parser.usageError(check.message.text);

        GridModel grid;
        RunContext run(connection);
        // Offices side by side, as many connections as the window's run uses.
        run.setParallelism(RunContext::defaultParallelism(connection.backend()));
        ProgressLine progress(command.name());
        progress.attach(run);
        ReceiptsEngine(run, selection).fill(grid);
        progress.finish();
        command.writeCsvOutput(grid);
        if (!command.xlsxTarget().isEmpty())
            WriteReceiptsSummaryWorkbook(grid, selection.receipts, command.xlsxTarget());
        if (command.pdf().wanted()) {
            // The window's printout names the office list's current entry; the
            // command has none, so the title names the first office of the
            // selection (in list order).
            command.pdf().write(grid, receiptsPrintOptions(selection.offices.front().name, selection.receipts));
        }
        if (chart.wanted())
            chart.write(receiptsCategoryChart(grid));
    } catch (const Failure& f) {
        return reportFailure(command.name(), f);
    }
    return kExitOk;
}

} // namespace fee::cli
