#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/commandparser.h"
#include "cli/commands.h"
#include "cli/connectoption.h"
#include "cli/pdfoutput.h"

#include "common/failure.h"
#include "common/grid/gridmodel.h"
#include "common/workbook/gridsheetexport.h"
#include "db/dbconnection.h"
#include "reports/daily/dailyengine.h"
#include "reports/daily/dailygrid.h"
#include "reports/daily/dailyoutputtexts.h"
#include "reports/daily/dailypayees.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/runlists.h"
#include "reports/shared/selectionlists.h"
#include "reports/shared/selectionresolver.h"

#include <QCommandLineOption>

namespace fee::cli {

namespace {

    const QString kAll = QStringLiteral("all");

} // namespace

int runDaily(const QStringList& args)
{
    const QString name = QStringLiteral("daily");
    CommandParser parser(name);
    const ConnectOption connectOpt;
    const QCommandLineOption officeOpt(
        QStringLiteral("office"), QStringLiteral("Office code (daily office list)."), QStringLiteral("CODE"));
    const QCommandLineOption fromOpt(
        QStringLiteral("from"), QStringLiteral("First receipt date."), QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption toOpt(
        QStringLiteral("to"), QStringLiteral("Last receipt date."), QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption methodOpt(
        QStringLiteral("method"), QStringLiteral("all, or one payment method."), QStringLiteral("NAME"), kAll);
    const QCommandLineOption payeeOpt(
        QStringLiteral("payee"), QStringLiteral("all, or one payee."), QStringLiteral("NAME"), kAll);
    const QCommandLineOption scopeOpt(QStringLiteral("scope"),
        QStringLiteral("0 不分部门统计, 1 按部门统计 (the receipts of --department), 2 按管理项目统计."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption departmentOpt(QStringLiteral("department"),
        QStringLiteral("The session's department code (scope 1)."), QStringLiteral("CODE"));
    const QCommandLineOption feesOpt(
        QStringLiteral("fees"), QStringLiteral("all, or fee-item codes."), QStringLiteral("CODES"), kAll);
    const QCommandLineOption csvOpt(
        QStringLiteral("csv"), QStringLiteral("CSV file, - for standard output."), QStringLiteral("FILE"));
    const QCommandLineOption xlsxOpt(QStringLiteral("xlsx"),
        QStringLiteral("Workbook file: the sheet of the export dialog with every column, added to an existing "
                       "workbook or put in place of the sheet of the same name."),
        QStringLiteral("FILE"));
    const QCommandLineOption sheetOpt(QStringLiteral("sheet"),
        QStringLiteral("Sheet name in the workbook."), QStringLiteral("NAME"),
        QString::fromUtf8(kDailySheetName));
    PdfOutput pdf(name);
    connectOpt.addTo(parser);
    for (const QCommandLineOption& option : { officeOpt, fromOpt, toOpt, methodOpt, payeeOpt, scopeOpt,
             departmentOpt, feesOpt, csvOpt, xlsxOpt, sheetOpt })
        parser.addOption(option);
    pdf.addOptions(parser);

    if (auto stop = parser.parse(args))
        return *stop;
    QString connectionString;
    if (auto stop = connectOpt.read(parser, connectionString))
        return *stop;
    if (auto stop = parser.requireValue(officeOpt))
        return *stop;
    QDate from;
    QDate to;
    if (auto stop = parser.readDate(fromOpt, from))
        return *stop;
    if (auto stop = parser.readDate(toOpt, to))
        return *stop;
    QString scope;
    if (auto stop
        = parser.readChoice(scopeOpt, { QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2") }, scope))
        return *stop;
    const QString department = parser.value(departmentOpt);
    // Scope 1 takes the receipts of the department: without one it could
    // only find nothing.
    if (scope == QStringLiteral("1") && department.isEmpty())
        return parser.usageError(QStringLiteral("--department is required with --scope 1"));
    const QString method = parser.value(methodOpt);
    const QString payee = parser.value(payeeOpt);
    if (method.isEmpty())
        return parser.usageError(QStringLiteral("--method needs all or a payment method"));
    if (payee.isEmpty())
        return parser.usageError(QStringLiteral("--payee needs all or a payee"));
    const QStringList feeArg = splitCodeList(parser.value(feesOpt));
    if (feeArg.isEmpty())
        return parser.usageError(QStringLiteral("--fees names no fee item"));
    QString csvTarget = parser.value(csvOpt);
    const QString xlsxTarget = parser.value(xlsxOpt);
    const QString sheetName = parser.value(sheetOpt);
    if (parser.isSet(csvOpt) && csvTarget.isEmpty())
        return parser.usageError(QStringLiteral("--csv needs a file name or -"));
    if (parser.isSet(xlsxOpt) && xlsxTarget.isEmpty())
        return parser.usageError(QStringLiteral("--xlsx needs a file name"));
    if (parser.isSet(sheetOpt) && !parser.isSet(xlsxOpt))
        return parser.usageError(QStringLiteral("--sheet goes with --xlsx"));
    if (sheetName.isEmpty())
        return parser.usageError(QStringLiteral("--sheet needs a sheet name"));
    if (auto stop = pdf.read(parser))
        return *stop;
    if (!parser.isSet(csvOpt) && !parser.isSet(xlsxOpt) && !pdf.isSet(parser))
        csvTarget = QStringLiteral("-");

    try {
        DbConnection connection;
        connection.open(connectionString);

        DailySelection selection;
        QString error;
        const RunLists lists = loadRunLists(
            connection, { dailyOfficeListStatement(), OfficeNames::AsStored, FeeTreeQuery::AllByCategory, true });
        const QVector<Office> offices = officesByCode(lists.offices, { parser.value(officeOpt) }, &error);
        if (!error.isEmpty())
            return parser.usageError(error);
        selection.office = offices.value(0);
        selection.start = from;
        selection.end = to;
        selection.feeCodes = feeCodesByCode(lists.feeTree, feeArg, &error);
        if (!error.isEmpty())
            return parser.usageError(error);
        selection.paymentMethods = lists.paymentMethods;
        selection.paymentMethod = listEntryByName(selection.paymentMethods, method, QStringLiteral("payment method"),
            QStringLiteral("the payment method list"), &error);
        if (!error.isEmpty())
            return parser.usageError(error);
        // The window lists the staff of the session's department; without
        // one, a payee must at least be on some department's list.
        if (payee != kAll) {
            const QStringList payees
                = department.isEmpty() ? loadAllDailyPayees(connection) : loadDailyPayees(connection, department);
            const QString listName = department.isEmpty()
                ? QStringLiteral("any department's payee list")
                : QStringLiteral("the payee list of department %1").arg(department);
            selection.payee = listEntryByName(payees, payee, QStringLiteral("payee"), listName, &error);
            if (!error.isEmpty())
                return parser.usageError(error);
        }
        selection.scope = static_cast<DailyScope>(scope.toInt());
        selection.departmentCode = department;

        GridModel grid;
        DailyGrid::layout(grid);
        RunContext run(connection);
        ProgressLine progress(name);
        progress.attach(run);
        const DailyRunOutcome outcome = DailyEngine(run).RunDailyQuery(selection, grid);
        progress.finish();
        if (outcome.status != DailyRunOutcome::Status::Done) {
            printErr(name + QStringLiteral(": ") + outcome.message.text + QLatin1Char('\n'));
            return kExitUsage;
        }
        if (!csvTarget.isEmpty())
            writeCsv(grid, csvTarget);
        const QString officeName = selection.office->name;
        if (!xlsxTarget.isEmpty()) {
            const DailyOutputTexts texts = dailyExportTexts(officeName, from, to);
            GridSheetOptions options;
            options.title = texts.title;
            options.tagText = texts.dateLine;
            options.sheetName = sheetName;
            options.columns = GridSheetExport::exportableColumns(grid);
            const QString written = GridSheetExport::write(grid, options, xlsxTarget);
            if (written != xlsxTarget)
                printErr(name + QStringLiteral(": workbook written as ") + written + QLatin1Char('\n'));
        }
        if (pdf.wanted()) {
            const DailyOutputTexts texts = dailyPrintTexts(officeName, from, to);
            PrintGridOptions options;
            options.title = texts.title;
            options.dateLine = texts.dateLine;
            pdf.write(grid, options);
        }
    } catch (const Failure& f) {
        return reportFailure(name, f);
    }
    return kExitOk;
}

} // namespace fee::cli
