#include "cli/commands.h"

#include "common/csv.h"
#include "common/failure.h"
#include "db/dbconnection.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/monthly/monthlyexport.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/selectionresolver.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

namespace fee::cli {

namespace {

    void printError(const QString& message)
    {
        const QByteArray text = (message + QLatin1Char('\n')).toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    }

    const char* const kUsage = "usage: fee-reports-cli monthly --connect CONN --date YYYY-MM-DD "
                               "[--kind residential|commercial] [--offices all|CODE,...] [--fees all|CODE,...] "
                               "[--csv FILE|-] [--xlsx FILE]";

    int usage(const QString& message)
    {
        printError(message);
        printError(QString::fromUtf8(kUsage));
        return kExitUsage;
    }

    void writeCsv(const GridModel& grid, const QString& target)
    {
        const QByteArray csv = gridToCsv(grid);
        if (target == QStringLiteral("-")) {
            if (std::fwrite(csv.constData(), 1, size_t(csv.size()), stdout) != size_t(csv.size())
                || std::fflush(stdout) != 0)
                throw Failure(kErrFile, QStringLiteral("cannot write the CSV to standard output"));
            return;
        }
        QSaveFile file(target);
        if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.commit())
            throw Failure(kErrFile, QStringLiteral("cannot write %1: %2").arg(target, file.errorString()));
    }

    QString withoutXlsxExtension(const QString& path)
    {
        if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
            return path.left(path.size() - 5);
        return path;
    }

} // namespace

int runMonthly(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption connectOpt(
        QStringLiteral("connect"), QStringLiteral("Connection string."), QStringLiteral("CONN"));
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
    parser.addOptions({ connectOpt, dateOpt, kindOpt, officesOpt, feesOpt, csvOpt, xlsxOpt });

    if (!parser.parse(QStringList { QStringLiteral("monthly") } + args))
        return usage(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usage(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));
    if (!parser.isSet(connectOpt) || parser.value(connectOpt).isEmpty())
        return usage(QStringLiteral("--connect is required"));
    if (!parser.isSet(dateOpt))
        return usage(QStringLiteral("--date is required"));
    const QDate date = QDate::fromString(parser.value(dateOpt), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return usage(QStringLiteral("--date must be a date YYYY-MM-DD: %1").arg(parser.value(dateOpt)));
    const QString kind = parser.value(kindOpt);
    if (kind != QStringLiteral("residential") && kind != QStringLiteral("commercial"))
        return usage(QStringLiteral("--kind must be residential or commercial: %1").arg(kind));
    const bool commercial = kind == QStringLiteral("commercial");
    const QStringList officeArg = splitCodeList(parser.value(officesOpt));
    const QStringList feeArg = splitCodeList(parser.value(feesOpt));
    if (officeArg.isEmpty())
        return usage(QStringLiteral("--offices names no office"));
    if (feeArg.isEmpty())
        return usage(QStringLiteral("--fees names no fee item"));
    QString csvTarget = parser.value(csvOpt);
    const QString xlsxTarget = parser.value(xlsxOpt);
    if (parser.isSet(csvOpt) && csvTarget.isEmpty())
        return usage(QStringLiteral("--csv needs a file name or -"));
    if (parser.isSet(xlsxOpt) && xlsxTarget.isEmpty())
        return usage(QStringLiteral("--xlsx needs a file name"));
    if (!parser.isSet(csvOpt) && !parser.isSet(xlsxOpt))
        csvTarget = QStringLiteral("-");

    try {
        DbConnection connection;
        connection.open(parser.value(connectOpt));

        MonthlySelection selection;
        selection.statisticsDate = date;
        selection.reportYear = QString::number(date.year());
        QString error;
        selection.offices = officesByCode(
            loadOffices(connection, monthlyOfficeListStatement(commercial), OfficeNames::OnOneLine), officeArg, &error);
        if (!error.isEmpty())
            return usage(error + QStringLiteral(" (%1 offices)").arg(kind));
        selection.feeCodes = feeCodesByCode(loadFeeItemTree(connection, FeeTreeQuery::AllItems), feeArg, &error);
        if (!error.isEmpty())
            return usage(error);
        if (selection.feeCodes.isEmpty())
            return usage(QStringLiteral("no fee item to report on"));

        GridModel grid;
        MonthlyEngine engine(connection);
        engine.run(selection, grid);

        if (!csvTarget.isEmpty())
            writeCsv(grid, csvTarget);
        if (!xlsxTarget.isEmpty()) {
            SummaryWorkbookInfo info;
            info.title
                = commercial ? QStringLiteral("商用物业费收缴率汇总表") : QStringLiteral("住宅物业费收缴率汇总表");
            info.company = QStringLiteral("澄岳物业");
            info.statisticsDate = date;
            ExportSummaryWorkbook(grid, info, withoutXlsxExtension(xlsxTarget));
        }
    } catch (const Failure& f) {
        printError(QStringLiteral("error %1: %2").arg(f.number()).arg(f.description()));
        return kExitFailure;
    } catch (const std::exception& e) {
        printError(QString::fromUtf8(e.what()));
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace fee::cli
