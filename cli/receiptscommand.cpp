#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/commandparser.h"
#include "cli/chartoutput.h"
#include "cli/commands.h"
#include "cli/connectoption.h"
#include "cli/pdfoutput.h"

#include "common/failure.h"
#include "common/grid/gridmodel.h"
#include "db/dbconnection.h"
#include "reports/receipts_summary/receiptschart.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsengine.h"
#include "reports/receipts_summary/receiptsexport.h"
#include "reports/receipts_summary/receiptsprint.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"
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
    CommandParser parser(QStringLiteral("receipts"));
    const ConnectOption connectOpt;
    const QCommandLineOption fromOpt(
        QStringLiteral("from"), QStringLiteral("First receipt date."), QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption toOpt(
        QStringLiteral("to"), QStringLiteral("Last receipt date."), QStringLiteral("YYYY-MM-DD"));
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
    const QCommandLineOption officesOpt(QStringLiteral("offices"), QStringLiteral("all, or office codes."),
        QStringLiteral("CODES"), QStringLiteral("all"));
    const QCommandLineOption feesOpt(QStringLiteral("fees"), QStringLiteral("all, or fee-item codes."),
        QStringLiteral("CODES"), QStringLiteral("all"));
    const QCommandLineOption csvOpt(
        QStringLiteral("csv"), QStringLiteral("CSV file, - for standard output."), QStringLiteral("FILE"));
    const QCommandLineOption xlsxOpt(QStringLiteral("xlsx"),
        QStringLiteral("The summary workbook, written under this very name."), QStringLiteral("FILE"));
    PdfOutput pdf(QStringLiteral("receipts"));
    connectOpt.addTo(parser);
    for (const QCommandLineOption& option : { fromOpt, toOpt, monthFromOpt, monthToOpt, yearFromOpt,
             yearToOpt, methodOpt, modeOpt, departmentOpt, officesOpt, feesOpt, csvOpt, xlsxOpt })
        parser.addOption(option);
    pdf.addOptions(parser);
    ChartOutput chart;
    chart.addOptions(parser);

    if (auto stop = parser.parse(args))
        return *stop;
    QString connectionString;
    if (auto stop = connectOpt.read(parser, connectionString))
        return *stop;

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
    if (auto stop = parser.readChoice(modeOpt, { QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2") }, mode))
        return *stop;
    selection.mode = static_cast<ReceiptsMode>(mode.toInt());
    selection.departmentCode = parser.value(departmentOpt);
    // Mode 1 takes the receipts of the department: without one it could
    // only find nothing.
    if (selection.mode == ReceiptsMode::ByDepartment && selection.departmentCode.isEmpty())
        return parser.usageError(QStringLiteral("--department is required with --mode 1"));
    const QString method = parser.value(methodOpt);
    if (method.isEmpty())
        return parser.usageError(QStringLiteral("--method needs all or a payment method"));

    const QStringList officeArg = splitCodeList(parser.value(officesOpt));
    const QStringList feeArg = splitCodeList(parser.value(feesOpt));
    if (officeArg.isEmpty())
        return parser.usageError(QStringLiteral("--offices names no office"));
    if (feeArg.isEmpty())
        return parser.usageError(QStringLiteral("--fees names no fee item"));
    // The outputs may be combined; without any the CSV goes to standard output.
    QString csvTarget = parser.value(csvOpt);
    const QString xlsxTarget = parser.value(xlsxOpt);
    if (parser.isSet(csvOpt) && csvTarget.isEmpty())
        return parser.usageError(QStringLiteral("--csv needs a file name or -"));
    if (parser.isSet(xlsxOpt) && xlsxTarget.isEmpty())
        return parser.usageError(QStringLiteral("--xlsx needs a file name"));
    if (auto stop = pdf.read(parser))
        return *stop;
    if (auto stop = chart.read(parser))
        return *stop;
    if (!parser.isSet(csvOpt) && !parser.isSet(xlsxOpt) && !pdf.isSet(parser) && !chart.wanted())
        csvTarget = QStringLiteral("-");

    try {
        DbConnection connection;
        connection.open(connectionString);

        QString error;
        selection.offices = officesByCode(
            loadOffices(connection, receiptsOfficeListStatement(), OfficeNames::AsStored), officeArg, &error);
        if (!error.isEmpty())
            return parser.usageError(error);
        // The window checks the offices, then the dates, and only then
        // builds the fee-item list.
        if (selection.receipts.start > selection.receipts.end)
            return parser.usageError(QStringLiteral("收款日期起始日期不能大于终止日期，请重新选择！"));
        selection.feeCodes = feeCodesByCode(loadFeeItemTree(connection, FeeTreeQuery::InUseByCategory), feeArg, &error);
        if (!error.isEmpty())
            return parser.usageError(error);
        selection.paymentMethods = loadPaymentMethods(connection);
        selection.chosenMethod = listEntryByName(selection.paymentMethods, method, QStringLiteral("payment method"),
            QStringLiteral("the payment method list"), &error);
        if (!error.isEmpty())
            return parser.usageError(error);

        const ReceiptsCheck check = checkReceiptsSelection(selection);
        if (check.refusal != ReceiptsRefusal::None)
            return parser.usageError(check.message);

        GridModel grid;
        LayoutReceiptsGrid(grid);
        RunContext run(connection);
        ProgressLine progress(QStringLiteral("receipts"));
        progress.attach(run);
        BuildReceiptsSummary(run, selection, grid);
        progress.finish();
        if (!csvTarget.isEmpty())
            writeCsv(grid, csvTarget);
        if (!xlsxTarget.isEmpty())
            WriteReceiptsSummaryWorkbook(grid, selection.receipts, xlsxTarget);
        if (pdf.wanted()) {
            // The window's printout names the office list's current entry; the
            // command has none, so the title names the first office of the
            // selection (in list order).
            pdf.write(grid, receiptsPrintOptions(selection.offices.front().name, selection.receipts));
        }
        if (chart.wanted())
            chart.write(receiptsCategoryChart(grid));
    } catch (const Failure& f) {
        return reportFailure(QStringLiteral("receipts"), f);
    }
    return kExitOk;
}

} // namespace fee::cli
