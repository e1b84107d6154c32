// Times printouts written to PDF files with the default paper choice:
// - a daily-report-sized grid: 10,000 rows, 18 columns, merge flags on
//   columns 0 to 2 with runs of one to four lines per invoice. Goal: under 3 s;
// - the receipts summary of every office and fee item of a demo database
//   (1.37 million ledger rows by default: 32 offices of 400 rooms), its two
//   heading rows on every page, shrunk onto A3 landscape.
#include "bench/support/demodatabase.h"
#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "print/gridpdf.h"
#include "print/printgrid.h"
#include "print/recordingsurface.h"
#include "core/grid/fonttextmeasure.h"
#include "db/dbconnection.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsengine.h"
#include "reports/receipts_summary/receiptsprint.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionlists.h"

#include <QCommandLineParser>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <ctime>

using namespace fee;

namespace {

constexpr int kRows = 10000;
constexpr int kRuns = 3;

GridModel dailyGrid()
{
    GridModel grid;
    grid.setFontName(QStringLiteral("微软雅黑"));
    grid.setFontSize(9);
    grid.setFormatString(QStringLiteral(
        "^序   |<票据簿编号  |<票据号码     |<付款人        |<付款人地址        |<收费项目        |<摘要             "
        "|>金额 "
        "             |>税额         |>收入              |<开票日期      |<开票人      |<收款日期        |<收款人      "
        "|<收款方式      |<备注          |<换票日期      |<换票号码 "));
    grid.setRows(kRows + 1);
    grid.setMergeCells(MergeRestrictColumns);
    for (int c = 0; c <= 2; ++c)
        grid.setMergeCol(c, true);
    QRandomGenerator random(20240105);
    int row = 1;
    int invoice = 100000;
    while (row <= kRows) {
        ++invoice;
        const int lines = 1 + int(random.bounded(4));
        for (int k = 0; k < lines && row <= kRows; ++k, ++row) {
            const double amount = 10 + random.bounded(200000) / 100.0;
            grid.setText(row, 0, QString::number(row));
            grid.setText(row, 1, QStringLiteral("RK%1").arg(invoice / 50, 6, 10, QLatin1Char('0')));
            grid.setText(row, 2, QString::number(invoice));
            grid.setText(row, 3, QStringLiteral("业主%1").arg(invoice % 977));
            grid.setText(
                row, 4, QStringLiteral("%1栋%2单元%3室").arg(invoice % 30).arg(k + 1).arg(invoice % 900 + 101));
            grid.setText(row, 5, k % 2 ? QStringLiteral("水费") : QStringLiteral("物业管理费"));
            grid.setText(row, 6, QStringLiteral("2024.01-2024.03"));
            grid.setText(row, 7, QString::number(amount, 'f', 2));
            grid.setText(row, 8, QString::number(amount * 0.06, 'f', 2));
            grid.setText(row, 9, QString::number(amount * 0.94, 'f', 2));
            grid.setText(row, 10, QStringLiteral("2024-01-05"));
            grid.setText(row, 11, QStringLiteral("李会计"));
            grid.setText(row, 12, QStringLiteral("2024-01-05"));
            grid.setText(row, 13, QStringLiteral("王出纳"));
            grid.setText(row, 14, k % 3 ? QStringLiteral("现金") : QStringLiteral("银行转账"));
        }
    }
    return grid;
}

void timeGrid(QTextStream& out, const GridModel& grid, const QString& pdf, const PrintGridOptions& options)
{
    out << "table width " << printedTableWidth(grid, 0) << " twips\n";
    PrintGridOptions recorded = options;
    recorded.paperWidth = PaperWidthAnswer::No;

    double bestLayout = 1e100;
    for (int i = 0; i < kRuns; ++i) {
        RecordingSurface surface(16118, 11186);
        QElapsedTimer t;
        t.start();
        PrintGrid(surface, grid, recorded);
        bestLayout = std::min(bestLayout, t.nsecsElapsed() / 1e6);
    }
    out << "  layout alone (recording surface, A4 landscape): " << bestLayout << " ms\n";

    double best = 1e100;
    double bestCpu = 1e100;
    GridPdfResult result;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        const std::clock_t cpu = std::clock();
        result = writeGridPdf(grid, pdf, options);
        best = std::min(best, t.nsecsElapsed() / 1e6);
        bestCpu = std::min(bestCpu, (std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC);
    }
    out << "  PDF: " << result.pages << " pages, " << printPageDescription(result.page)
        << (result.cutOff ? ", cut off" : "") << (result.parts > 1 ? QStringLiteral(", %1 parts").arg(result.parts) : QString())
        << ", " << QFileInfo(pdf).size() / 1024 << " KiB; best of " << kRuns << ": " << best << " ms wall, "
        << bestCpu << " ms CPU\n";
    out.flush();
}

PrintGridOptions dailyOptions()
{
    PrintGridOptions options;
    options.title = QStringLiteral("(南区)收款日报表");
    options.dateLine = QStringLiteral("日期范围:2024年01月01日-2024年12月31日");
    return options;
}

// The receipts summary of every office and fee item over half a year, as the
// window shows it before its print button is pressed.
void timeReceipts(QTextStream& out, const QString& database, const QString& pdf)
{
    DbConnection db;
    db.open(QStringLiteral("Provider=SQLite;Data Source=") + database);
    ReceiptsSelection selection;
    selection.offices = loadOffices(db, receiptsOfficeListStatement(), OfficeNames::AsStored);
    selection.feeCodes = allFeeCodes(loadFeeItemTree(db, FeeTreeQuery::InUseByCategory));
    selection.paymentMethods = loadPaymentMethods(db);
    selection.chosenMethod = QString::fromUtf8(kChooseAll);
    selection.receipts = { QDate(2026, 6, 1), QDate(2026, 11, 30) };
    selection.monthToDate = DateRange { QDate(2026, 11, 1), QDate(2026, 11, 30) };
    selection.yearToDate = DateRange { QDate(2026, 1, 1), QDate(2026, 11, 30) };
    GridModel grid;
    layoutReceiptsSummaryGrid(grid);
    QElapsedTimer run;
    run.start();
    {
        RunContext context(db);
        ReceiptsEngine(context, selection).fill(grid);
    }
    out << "receipts summary: " << selection.offices.size() << " offices, " << grid.rows() << " grid rows, run in "
        << run.elapsed() << " ms (not part of the printout); ";
    timeGrid(out, grid, pdf, receiptsPrintOptions(selection.offices.front().name, selection.receipts));
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("dir"), QStringLiteral("Folder for the PDF files (kept)."));
    const QCommandLineOption dbOpt(QStringLiteral("db"),
        QStringLiteral("Demo database of the receipts summary (made when missing: 32 offices, 400 rooms)."),
        QStringLiteral("path"), QStringLiteral("bench-receipts.db"));
    const QCommandLineOption dailyOnlyOpt(QStringLiteral("daily-only"), QStringLiteral("Leave out the receipts summary."));
    parser.addOptions({ dbOpt, dailyOnlyOpt });
    parser.process(app);

    QTextStream out(stdout);
    QTemporaryDir temporary;
    const QString folder = parser.positionalArguments().value(0, temporary.path());

    // Widths as the command line lays them out (character-count measure) and
    // as the windows do (the real font).
    QElapsedTimer fill;
    fill.start();
    const GridModel counted = dailyGrid();
    out << "grid: " << kRows << " rows, " << counted.cols() << " columns, filled in " << fill.elapsed() << " ms\n";
    out << "character-count widths: ";
    timeGrid(out, counted, QDir(folder).filePath(QStringLiteral("daily-10000-counted.pdf")), dailyOptions());
    installFontTextMeasure();
    out << "font-measured widths: ";
    timeGrid(out, dailyGrid(), QDir(folder).filePath(QStringLiteral("daily-10000-font.pdf")), dailyOptions());

    if (!parser.isSet(dailyOnlyOpt)) {
        const QString database = QFileInfo(parser.value(dbOpt)).absoluteFilePath();
        out.flush();
        if (!fee::bench::ensureDemoDatabase(database, QStringLiteral("32"), QStringLiteral("400")))
            return 1;
        try {
            timeReceipts(out, database, QDir(folder).filePath(QStringLiteral("receipts-all-offices.pdf")));
        } catch (const Failure& f) {
            out << "error " << f.number() << ": " << f.description() << "\n";
            return 1;
        }
    }
    if (!parser.positionalArguments().isEmpty())
        out << "written to " << folder << "\n";
    return 0;
}
