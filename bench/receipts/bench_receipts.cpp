// Times one receipts summary over every office and fee item of a demo
// database with both cumulative columns, splits the time between the database
// and the client, and runs the same statements bare through the SQLite C API
// for comparison.

#include "bench/support/demodatabase.h"
#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "db/dbconnection.h"
#include "db/sqlitefunctions.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsengine.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionlists.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <sqlite3.h>

namespace {

// The statements one by one through the C API, every column of every row read.
double runBare(const QString& path, const QStringList& statements, const fee::DbConnection& adapter, qint64& rows)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw fee::Failure(1, QStringLiteral("cannot open ") + path);
    fee::registerSqliteFunctions(db);
    QElapsedTimer timer;
    timer.start();
    rows = 0;
    double sink = 0;
    for (const QString& statement : statements) {
        const QByteArray sql = adapter.adapt(statement).toUtf8();
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
            throw fee::Failure(1, QString::fromUtf8(sqlite3_errmsg(db)));
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            ++rows;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_TEXT)
                    sink += sqlite3_column_bytes(stmt, c);
                else
                    sink += sqlite3_column_double(stmt, c);
            }
        }
        sqlite3_finalize(stmt);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    sqlite3_close(db);
    return sink == -1 ? 0 : seconds;
}

void printPlan(const QString& path, const QString& statement, const fee::DbConnection& adapter)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    fee::registerSqliteFunctions(db);
    const QByteArray sql = ("EXPLAIN QUERY PLAN " + adapter.adapt(statement)).toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW)
            std::printf("  %3d %3d  %s\n", sqlite3_column_int(stmt, 0), sqlite3_column_int(stmt, 1),
                reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("db"), QStringLiteral("Demo database (made when missing)."));
    const QCommandLineOption officesOpt(QStringLiteral("offices"), QStringLiteral("Offices of a new database."),
        QStringLiteral("n"), QStringLiteral("32"));
    const QCommandLineOption roomsOpt(QStringLiteral("rooms"), QStringLiteral("Rooms per office of a new database."),
        QStringLiteral("n"), QStringLiteral("400"));
    const QCommandLineOption plansOpt(
        QStringLiteral("plans"), QStringLiteral("Print the query plans of one office's statements and stop."));
    parser.addOptions({ officesOpt, roomsOpt, plansOpt });
    parser.process(app);

    const QString path
        = QFileInfo(parser.positionalArguments().value(0, QStringLiteral("bench-receipts.db"))).absoluteFilePath();
    if (!fee::bench::ensureDemoDatabase(path, parser.value(officesOpt), parser.value(roomsOpt)))
        return 1;
    try {
        fee::DbConnection db;
        db.open(QStringLiteral("Provider=SQLite;Data Source=") + path);
        const qint64 ledgerRows = [&db] {
            fee::DbResult r = db.query(QStringLiteral("Select count(*) as n From WYZJ"));
            return r.next() ? qint64(r.number(QStringLiteral("n"))) : 0;
        }();

        fee::ReceiptsSelection selection;
        selection.offices = fee::loadOffices(db, fee::receiptsOfficeListStatement(), fee::OfficeNames::AsStored);
        selection.feeCodes = fee::allFeeCodes(fee::loadFeeItemTree(db, fee::FeeTreeQuery::InUseByCategory));
        selection.paymentMethods = fee::loadPaymentMethods(db);
        selection.chosenMethod = QString::fromUtf8(fee::kChooseAll);
        selection.receipts = { QDate(2026, 6, 1), QDate(2026, 11, 30) };
        selection.monthToDate = fee::DateRange { QDate(2026, 11, 1), QDate(2026, 11, 30) };
        selection.yearToDate = fee::DateRange { QDate(2026, 1, 1), QDate(2026, 11, 30) };

        if (parser.isSet(plansOpt)) {
            const QString office = selection.offices.front().code;
            std::printf("summary statement of office %s:\n", qPrintable(office));
            printPlan(path,
                fee::receiptsSummaryStatement(fee::receiptsStatementInput(selection, selection.receipts), office), db);
            std::printf("cumulative statement of office %s, item 01:\n", qPrintable(office));
            printPlan(path,
                fee::receiptsCumulativeStatement(
                    fee::receiptsStatementInput(selection, *selection.yearToDate), office, QStringLiteral("01")),
                db);
            return 0;
        }

        // Each side runs twice and keeps its better time, so neither gains
        // from the other having warmed the file's pages.
        fee::GridModel grid;
        double totalS = 0;
        double dbS = 0;
        double bareS = 0;
        qint64 bareRows = 0;
        int statementCount = 0;
        for (int round = 0; round < 2; ++round) {
            fee::layoutReceiptsSummaryGrid(grid);
            fee::RunContext run(db);
            run.keepStatements();
            QElapsedTimer total;
            total.start();
            fee::ReceiptsEngine(run, selection).fill(grid);
            const double t = total.nsecsElapsed() / 1e9;
            if (round == 0 || t < totalS) {
                totalS = t;
                dbS = run.databaseNanoseconds() / 1e9;
            }
            statementCount = run.statementCount();
            const double b = runBare(path, run.statements(), db, bareRows);
            if (round == 0 || b < bareS)
                bareS = b;
        }

        std::printf("ledger rows        %lld\n", ledgerRows);
        std::printf("offices            %d\n", int(selection.offices.size()));
        std::printf("fee items          %d\n", int(selection.feeCodes.size()));
        std::printf("grid rows          %d\n", grid.rows());
        std::printf("statements         %d\n", statementCount);
        std::printf("total              %.3f s\n", totalS);
        std::printf("database           %.3f s (statements and row reads)\n", dbS);
        std::printf(
            "client             %.3f s (%.1f%%)\n", totalS - dbS, totalS > 0 ? (totalS - dbS) / totalS * 100 : 0.0);
        std::printf("bare statements    %.3f s (%lld rows through the SQLite C API)\n", bareS, bareRows);
        std::printf("total / bare       %.2f\n", bareS > 0 ? totalS / bareS : 0.0);
        std::printf("grand total        %s | %s | %s\n", qPrintable(grid.text(grid.rows() - 1, 19)),
            qPrintable(grid.text(grid.rows() - 1, 23)), qPrintable(grid.text(grid.rows() - 1, 24)));
    } catch (const fee::Failure& f) {
        std::fprintf(stderr, "error %d: %s\n", f.number(), f.what());
        return 1;
    }
    return 0;
}
