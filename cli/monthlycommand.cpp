#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/commandparser.h"
#include "cli/chartoutput.h"
#include "cli/commands.h"
#include "cli/connectoption.h"
#include "cli/pdfoutput.h"

#include "common/csv.h"
#include "common/failure.h"
#include "db/dbconnection.h"
#include "reports/monthly/monthlychart.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/monthly/monthlyexport.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/reporttexts.h"
#include "reports/shared/selectionresolver.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

namespace fee::cli {

int runMonthly(const QStringList& args)
{
    CommandParser parser(QStringLiteral("monthly"));
    const ConnectOption connectOpt;
    const QCommandLineOption dateOpt(
        QStringLiteral("date"), QStringLiteral("Statistics date."), QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption kindOpt(QStringLiteral("kind"), QStringLiteral("residential or commercial offices."),
        QStringLiteral("KIND"), QStringLiteral("residential"));
    const QCommandLineOption officesOpt(QStringLiteral("offices"), QStringLiteral("all, or office codes."),
        QStringLiteral("CODES"), QStringLiteral("all"));
    const QCommandLineOption feesOpt(QStringLiteral("fees"), QStringLiteral("all, or fee-item codes."),
        QStringLiteral("CODES"), QStringLiteral("all"));
    const QCommandLineOption csvOpt(
        QStringLiteral("csv"), QStringLiteral("CSV file, - for standard output."), QStringLiteral("FILE"));
    const QCommandLineOption xlsxOpt(QStringLiteral("xlsx"), QStringLiteral("Workbook file."), QStringLiteral("FILE"));
    PdfOutput pdf(QStringLiteral("monthly"));
    connectOpt.addTo(parser);
    for (const QCommandLineOption& option : { dateOpt, kindOpt, officesOpt, feesOpt, csvOpt, xlsxOpt })
        parser.addOption(option);
    pdf.addOptions(parser);
    ChartOutput chart;
    chart.addOptions(parser);

    if (auto stop = parser.parse(args))
        return *stop;
    QString connectionString;
    if (auto stop = connectOpt.read(parser, connectionString))
        return *stop;
    QDate date;
    if (auto stop = parser.readDate(dateOpt, date))
        return *stop;
    QString kind;
    if (auto stop = parser.readChoice(kindOpt, { QStringLiteral("residential"), QStringLiteral("commercial") }, kind))
        return *stop;
    const bool commercial = kind == QStringLiteral("commercial");
    const QStringList officeArg = splitCodeList(parser.value(officesOpt));
    const QStringList feeArg = splitCodeList(parser.value(feesOpt));
    if (officeArg.isEmpty())
        return parser.usageError(QStringLiteral("--offices names no office"));
    if (feeArg.isEmpty())
        return parser.usageError(QStringLiteral("--fees names no fee item"));
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

        MonthlySelection selection;
        selection.statisticsDate = date;
        selection.reportYear = QString::number(date.year());
        QString error;
        selection.offices = officesByCode(
            loadOffices(connection, monthlyOfficeListStatement(commercial), OfficeNames::OnOneLine), officeArg, &error);
        if (!error.isEmpty())
            return parser.usageError(error + QStringLiteral(" (%1 offices)").arg(kind));
        selection.feeCodes = feeCodesByCode(loadFeeItemTree(connection, FeeTreeQuery::AllItems), feeArg, &error);
        if (!error.isEmpty())
            return parser.usageError(error);
        if (selection.feeCodes.isEmpty())
            return parser.usageError(QStringLiteral("no fee item to report on"));

        GridModel grid;
        MonthlyEngine engine(connection);
        engine.run(selection, grid);

        if (!csvTarget.isEmpty())
            writeCsv(grid, csvTarget);
        const QString title
            = commercial ? QStringLiteral("商用物业费收缴率汇总表") : QStringLiteral("住宅物业费收缴率汇总表");
        if (!xlsxTarget.isEmpty()) {
            SummaryWorkbookInfo info;
            info.title = title;
            info.company = QString::fromUtf8(kCompanyLabel);
            info.statisticsDate = date;
            ExportSummaryWorkbook(grid, info, withoutXlsxExtension(xlsxTarget));
        }
        if (pdf.wanted()) {
            // The window has no print button: the printout carries the title
            // and the date line of the summary workbook.
            PrintGridOptions options;
            options.title = title;
            options.dateLine = summaryDateLine(date);
            pdf.write(grid, options);
        }
        if (chart.wanted())
            chart.write(monthly::rateChart(grid));
    } catch (const Failure& f) {
        return reportFailure(QStringLiteral("monthly"), f);
    }
    return kExitOk;
}

} // namespace fee::cli
