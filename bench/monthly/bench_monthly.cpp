// The monthly run over every residential office and every fee item of a demo
// database of a million ledger rows, against the lowest cost the database can
// reach: one statement per office that sums all 27 measures in a single pass
// (conditional sums, one connection). Run in one process, side by side.
// With --window the run goes on a worker thread while a grid view shows it,
// and a GUI-thread timer records the longest the event loop was held.

#include "bench/support/demodatabase.h"
#include "core/failure.h"
#include "core/grid/fonttextmeasure.h"
#include "core/textformat.h"
#include "widgets/gridview.h"
#include "db/dbconnection.h"
#include "db/sqlquote.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/monthly/monthlystatements.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/reportrunner.h"
#include "reports/shared/runcontext.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <cmath>
#include <cstdio>

namespace {

struct SinglePass {
    QString statement;
    QVector<int> columns; // the summary column of each summed field, in field order
};

// Every measure of one office as one conditional sum over the office's
// household and parking ledger rows.
SinglePass singlePassStatement(const fee::MonthlyStatementInput& input)
{
    SinglePass pass;
    QString sums;
    for (int column : fee::measureColumns()) {
        for (const fee::MeasureCondition& c : fee::measureConditions(column, input)) {
            QString condition = QStringLiteral("1=1") + c.conditions;
            if (c.vacancy)
                condition += QStringLiteral(" And 主人='开发商'");
            sums += (sums.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("Sum(Case When ") + condition
                + QStringLiteral(" Then zj_je Else 0 End) As m%1").arg(pass.columns.size());
            pass.columns.append(column);
        }
    }
    const QString office = fee::sqlQuote(input.office);
    const QString fees = fee::sqlQuoteList(input.feeCodes);
    const QString columns = QStringLiteral("wyzj.zj_je, ZJ_CNY, ZJ_SKRQ, zj_tkrq, zj_bdrq, zj_jzrq, zj_tzrq, ZJ_BZ, ");
    pass.statement = QStringLiteral("Select ") + sums + QStringLiteral(" From (Select ") + columns
        + QStringLiteral(
            "业主表.姓名 As 主人 From 楼表 Inner join 室表 on 楼表.L_ID = 室表.L_ID Inner join 业主表 on "
            "室表.S_ID = 业主表.S_ID Inner join WYZJ on 业主表.ZH_ID = WYZJ.ZH_ID Where 业主表.说明='新进户' "
            "And 管理处 =")
        + office + QStringLiteral(" And wyzj.zj_lx In (") + fees
        + QStringLiteral(") And wyzj.dj_id is null Union All Select ") + columns
        + QStringLiteral(
            "车位申请登记表.车主姓名 From WYZJ Inner join 车位申请登记表 ON 车位申请登记表.登记ID = WYZJ.DJ_ID "
            "Inner join 车库名 ON 车库名.管理处 = 车位申请登记表.管理处 AND 车库名.车库编号 = "
            "车位申请登记表.车库编号 Where 车库名.管理处 =")
        + office + QStringLiteral(" And wyzj.zj_lx In (") + fees + QStringLiteral(")) Z");
    return pass;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("db"), QStringLiteral("Demo database (made when missing)."));
    const QCommandLineOption dateOpt(
        QStringLiteral("date"), QStringLiteral("Statistics date (default 2026-11-30)."), QStringLiteral("date"));
    const QCommandLineOption officesOpt(QStringLiteral("offices"), QStringLiteral("Offices of a new database."),
        QStringLiteral("n"), QStringLiteral("32"));
    const QCommandLineOption roomsOpt(QStringLiteral("rooms"), QStringLiteral("Rooms per office of a new database."),
        QStringLiteral("n"), QStringLiteral("400"));
    const QCommandLineOption connectionsOpt(QStringLiteral("connections"),
        QStringLiteral("Connections side by side (default: the machine's usual number)."), QStringLiteral("n"));
    const QCommandLineOption windowOpt(
        QStringLiteral("window"), QStringLiteral("Also run on a worker while a grid view shows it."));
    const QCommandLineOption measuresOpt(
        QStringLiteral("per-measure"), QStringLiteral("Also time each measure column over all offices."));
    parser.addOptions({ dateOpt, officesOpt, roomsOpt, connectionsOpt, windowOpt, measuresOpt });
    parser.process(app);

    const QString path = parser.positionalArguments().value(0, QStringLiteral("bench-monthly.db"));
    if (!fee::bench::ensureDemoDatabase(path, parser.value(officesOpt), parser.value(roomsOpt)))
        return 1;
    const QString source = QStringLiteral("Provider=SQLite;Data Source=") + QFileInfo(path).absoluteFilePath();
    const int connections
        = parser.isSet(connectionsOpt) ? parser.value(connectionsOpt).toInt() : fee::RunContext::defaultParallelism(fee::DbBackend::Sqlite);
    try {
        fee::DbConnection db;
        db.open(source);
        const qint64 ledgerRows = [&db] {
            fee::DbResult r = db.query(QStringLiteral("Select count(*) as n From WYZJ"));
            return r.next() ? qint64(r.number(0)) : 0;
        }();

        fee::MonthlySelection selection;
        selection.offices = fee::loadOffices(db, fee::monthlyOfficeListStatement(false), fee::OfficeNames::OnOneLine);
        selection.feeCodes = fee::allFeeCodes(fee::loadFeeItemTree(db, fee::FeeTreeQuery::AllItems));
        selection.statisticsDate = parser.isSet(dateOpt)
            ? QDate::fromString(parser.value(dateOpt), QStringLiteral("yyyy-MM-dd"))
            : QDate(2026, 11, 30);
        selection.reportYear = QString::number(selection.statisticsDate.year());
        std::printf("ledger rows        %lld\n", ledgerRows);
        std::printf("offices            %d\n", int(selection.offices.size()));
        std::printf("fee items          %d\n", int(selection.feeCodes.size()));
        std::printf("statistics date    %s\n", qPrintable(selection.statisticsDate.toString(Qt::ISODate)));

        // The lower bound: one pass per office, one connection.
        QElapsedTimer timer;
        timer.start();
        QVector<QVector<double>> single;
        for (const fee::Office& office : selection.offices) {
            const fee::MonthlyStatementInput input { office.code, selection.feeCodes, selection.statisticsDate,
                selection.reportYear };
            const SinglePass pass = singlePassStatement(input);
            fee::DbResult r = db.query(pass.statement);
            QVector<double> values(fee::monthly::kColumnCount, 0.0);
            if (r.next()) {
                for (int i = 0; i < pass.columns.size(); ++i)
                    values[pass.columns[i]] += r.numberOrNull(i).value_or(0.0);
            }
            single.append(values);
        }
        const double singleS = timer.nsecsElapsed() / 1e9;

        // Our run, offices side by side on `connections` connections.
        fee::GridModel grid;
        fee::RunContext run(db);
        run.setParallelism(connections);
        timer.restart();
        fee::MonthlyEngine(run, selection).fill(grid);
        const double ourS = timer.nsecsElapsed() / 1e9;

        int differences = 0;
        for (int i = 0; i < selection.offices.size(); ++i) {
            for (int column : fee::measureColumns()) {
                const double ours = fee::leadingNumber(grid.text(fee::monthly::kHeadingRows + i, column));
                if (std::fabs(ours - fee::decimalValue(single[i][column])) > 0.005)
                    ++differences;
            }
        }
        std::printf(
            "single pass        %.3f s (%d statements, one connection)\n", singleS, int(selection.offices.size()));
        std::printf(
            "our run            %.3f s (%d statements, %d connections)\n", ourS, run.statementCount(), connections);
        std::printf("ratio              %.2f (goal <= 0.8)\n", singleS > 0 ? ourS / singleS : 0.0);
        std::printf("figures differing  %d\n", differences);
        std::printf("database time      %.3f s (added over the connections)\n", run.databaseNanoseconds() / 1e9);

        if (parser.isSet(windowOpt)) {
            fee::installFontTextMeasure();
            fee::GridModel shown;
            fee::monthly::layoutSummaryGrid(shown, selection.reportYear);
            fee::GridView view;
            view.setGrid(&shown);
            view.resize(1200, 700);
            view.show();
            fee::ReportRunner runner;
            QElapsedTimer sinceTick;
            qint64 longest = 0;
            QTimer tick;
            tick.setInterval(1);
            QObject::connect(&tick, &QTimer::timeout, [&] {
                if (sinceTick.isValid())
                    longest = std::max(longest, sinceTick.elapsed());
                sinceTick.restart();
            });
            QObject::connect(&runner, &fee::ReportRunner::finished, &app, [&] { app.quit(); });
            timer.restart();
            tick.start();
            runner.start(
                db,
                [selection, &shown](
                    fee::RunContext& r) { fee::MonthlyEngine(r, selection).fill(shown); },
                connections);
            app.exec();
            std::printf("window run         %.3f s; event loop held at most %lld ms (goal < 50 ms)\n",
                timer.nsecsElapsed() / 1e9, longest);
        }

        if (parser.isSet(measuresOpt)) {
            std::printf("per measure column (all offices):\n");
            for (int column : fee::measureColumns()) {
                QElapsedTimer t;
                t.start();
                for (const fee::Office& office : selection.offices) {
                    const fee::MonthlyStatementInput input { office.code, selection.feeCodes, selection.statisticsDate,
                        selection.reportYear };
                    for (const fee::MeasureStatement& st : fee::summingStatements(column, input)) {
                        fee::DbResult r = db.query(st.statement);
                        r.next();
                    }
                }
                std::printf("  %2d  %.3f s\n", column, t.nsecsElapsed() / 1e9);
            }
        }
    } catch (const fee::Failure& f) {
        std::fprintf(stderr, "error %d: %s\n", f.number(), f.what());
        return 1;
    }
    return 0;
}
