#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/commands.h"
#include "cli/reportcommand.h"

#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "workbook/gridsheetexport.h"
#include "db/dbconnection.h"
#include "reports/daily/dailyengine.h"
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

    // The payee a value names. The window lists the staff of the session's
    // department; without one, a payee must at least be on some
    // department's list.
    std::optional<int> readPayee(const CommandParser& parser, DbConnection& connection, const QString& value,
        const QString& department, QString& payee)
    {
        if (value == kAll)
            return std::nullopt;
        const QStringList payees
            = department.isEmpty() ? loadAllDailyPayees(connection) : loadDailyPayees(connection, department);
        const QString listName = department.isEmpty()
            ? QStringLiteral("any department's payee list")
            : QStringLiteral("the payee list of department %1").arg(department);
        QString error;
        payee = listEntryByName(payees, value, QStringLiteral("payee"), listName, &error);
        if (!error.isEmpty())
            return parser.usageError(error);
        return std::nullopt;
    }

    // The workbook and the printout the options ask for, with the texts the
    // window's export and print give them.
    void writeWorkbookAndPrintout(const ReportCommand& command, const GridModel& grid, const DailySelection& selection,
        const QString& sheetName)
    {
        const QString officeName = selection.office->name;
        const QString& xlsxTarget = command.xlsxTarget();
        if (!xlsxTarget.isEmpty()) {
            const DailyOutputTexts texts = dailyExportTexts(officeName, selection.start, selection.end);
            GridSheetOptions options;
            options.title = texts.title;
            options.tagText = texts.dateLine;
            options.sheetName = sheetName;
            options.columns = GridSheetExport::exportableColumns(grid);
            const QString written = GridSheetExport::write(grid, options, xlsxTarget);
            if (written != xlsxTarget)
                printErr(command.name() + QStringLiteral(": workbook written as ") + written + QLatin1Char('\n'));
        }
        if (command.pdf().wanted()) {
            const DailyOutputTexts texts = dailyPrintTexts(officeName, selection.start, selection.end);
            PrintGridOptions options;
            options.title = texts.title;
            options.dateLine = texts.dateLine;
            command.pdf().write(grid, options);
        }
    }

} // namespace

int runDaily(const QStringList& args)
{
    ReportCommand command(QStringLiteral("daily"), ReportCommand::Offices::None,
        QStringLiteral("Workbook file: the sheet of the export dialog with every column, added to an existing "
                       "workbook or put in place of the sheet of the same name."));
    const QString& name = command.name();
    const QCommandLineOption officeOpt(
        QStringLiteral("office"), QStringLiteral("Office code (daily office list)."), QStringLiteral("CODE"));
    const QCommandLineOption fromOpt = receiptsFromOption();
    const QCommandLineOption toOpt = receiptsToOption();
    const QCommandLineOption methodOpt(
        QStringLiteral("method"), QStringLiteral("all, or one payment method."), QStringLiteral("NAME"), kAll);
    const QCommandLineOption payeeOpt(
        QStringLiteral("payee"), QStringLiteral("all, or one payee."), QStringLiteral("NAME"), kAll);
    const QCommandLineOption scopeOpt(QStringLiteral("scope"),
        QStringLiteral("0 不分部门统计, 1 按部门统计 (the receipts of --department), 2 按管理项目统计."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption departmentOpt(QStringLiteral("department"),
        QStringLiteral("The session's department code (scope 1)."), QStringLiteral("CODE"));
    const QCommandLineOption sheetOpt(QStringLiteral("sheet"), QStringLiteral("Sheet name in the workbook."),
        QStringLiteral("NAME"), QString::fromUtf8(kDailySheetName));
    command.declare({ officeOpt, fromOpt, toOpt, methodOpt, payeeOpt, scopeOpt, departmentOpt }, { sheetOpt });

    if (auto stop = command.parse(args))
        return *stop;
    const CommandParser& parser = command.parser();
    if (auto stop = parser.requireValue(officeOpt))
        return *stop;
    QDate from;
    QDate to;
    if (auto stop = parser.readDate(fromOpt, from))
        return *stop;
    if (auto stop = parser.readDate(toOpt, to))
        return *stop;
    QString scope;
    QString department;
    if (auto stop = command.readScope(scopeOpt, departmentOpt, scope, department))
        return *stop;
    const QString method = parser.value(methodOpt);
    const QString payee = parser.value(payeeOpt);
    if (method.isEmpty())
        return parser.usageError(QStringLiteral("--method needs all or a payment method"));
    if (payee.isEmpty())
        return parser.usageError(QStringLiteral("--payee needs all or a payee"));
    const QString sheetName = parser.value(sheetOpt);
    if (auto stop = command.readCodesAndOutputs([&]() -> std::optional<int> {
            if (parser.isSet(sheetOpt) && !command.xlsxSet())
                return parser.usageError(QStringLiteral("--sheet goes with --xlsx"));
            if (sheetName.isEmpty())
                return parser.usageError(QStringLiteral("--sheet needs a sheet name"));
            return std::nullopt;
        }))
        return *stop;

    try {
        DbConnection connection;
        connection.open(command.connectionString());

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
        if (auto stop = command.readFeeItems(lists.feeTree, selection.feeCodes))
            return *stop;
        selection.paymentMethods = lists.paymentMethods;
        QString chosenMethod;
        if (auto stop = command.readPaymentMethod(selection.paymentMethods, method, chosenMethod))
            return *stop;
        selection.paymentMethod = chosenMethod;
        if (auto stop = readPayee(parser, connection, payee, department, selection.payee))
            return *stop;
        selection.scope = static_cast<DailyScope>(scope.toInt());
        selection.departmentCode = department;

        const SelectionCheck check = checkDailySelection(selection);
        if (!check.isOk()) {
            printErr(name + QStringLiteral(": ") + check.message.text + QLatin1Char('\n'));
            return kExitUsage;
        }
        GridModel grid;
        RunContext run(connection);
        ProgressLine progress(name);
        progress.attach(run);
        DailyEngine(run, selection).fill(grid);
        progress.finish();
        command.writeCsvOutput(grid);
        writeWorkbookAndPrintout(command, grid, selection, sheetName);
    } catch (const Failure& f) {
        return reportFailure(name, f);
    }
    return kExitOk;
}

} // namespace fee::cli
