// Times the daily list of one office over a range of receipt dates: the
// engine filling a GridModel, against the same statement stepped bare through
// the sqlite3 C API in the same process (every column read as text). Prints
// both times, their ratio and the peak memory after each.

#include "bench/support/demodatabase.h"
#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "db/dbconnection.h"
#include "db/sqlitefunctions.h"
#include "reports/daily/dailyengine.h"
#include "reports/daily/dailygrid.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The adapted statement stepped to the end; returns the rows, -1 on error.
qint64 stepBare(const QString& path, const QString& statement, double& seconds)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return -1;
    fee::registerSqliteFunctions(db);
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql = statement.toUtf8();
    qint64 rows = -1;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) == SQLITE_OK) {
        rows = 0;
        const int columns = sqlite3_column_count(stmt);
        std::size_t bytes = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                sqlite3_column_text(stmt, c);
                bytes += std::size_t(sqlite3_column_bytes(stmt, c));
            }
            ++rows;
        }
        std::printf("bare: %zu bytes of text read\n", bytes);
    } else {
        std::fprintf(stderr, "prepare: %s\n", sqlite3_errmsg(db));
    }
    sqlite3_finalize(stmt);
    seconds = timer.nsecsElapsed() / 1e9;
    sqlite3_close(db);
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("db"), QStringLiteral("Demo database (made when missing)."));
    const QCommandLineOption officeOpt(
        QStringLiteral("office"), QStringLiteral("Office code."), QStringLiteral("code"), QStringLiteral("01"));
    const QCommandLineOption fromOpt(QStringLiteral("from"), QStringLiteral("First receipt date."),
        QStringLiteral("date"), QStringLiteral("2025-01-01"));
    const QCommandLineOption toOpt(QStringLiteral("to"), QStringLiteral("Last receipt date."), QStringLiteral("date"),
        QStringLiteral("2025-12-31"));
    const QCommandLineOption roomsOpt(QStringLiteral("rooms"), QStringLiteral("Rooms of a new database's office."),
        QStringLiteral("n"), QStringLiteral("5000"));
    const QCommandLineOption engineOnlyOpt(
        QStringLiteral("engine-only"), QStringLiteral("Run the engine alone (for a profiler)."));
    const QCommandLineOption roundsOpt(
        QStringLiteral("rounds"), QStringLiteral("Rounds of both runs."), QStringLiteral("n"), QStringLiteral("3"));
    parser.addOptions({ officeOpt, fromOpt, toOpt, roomsOpt, engineOnlyOpt, roundsOpt });
    parser.process(app);

    const QString path
        = QFileInfo(parser.positionalArguments().value(0, QStringLiteral("bench-daily.db"))).absoluteFilePath();
    if (!fee::bench::ensureDemoDatabase(path, QStringLiteral("1"), parser.value(roomsOpt),
            QStringLiteral("1 busy office, %1 rooms").arg(parser.value(roomsOpt))))
        return 1;
    try {
        fee::DbConnection db;
        db.open(QStringLiteral("Provider=SQLite;Data Source=") + path);

        fee::DailySelection selection;
        selection.office = fee::loadOffices(db, fee::dailyOfficeListStatement(), fee::OfficeNames::AsStored).value(0);
        for (const fee::Office& office :
            fee::loadOffices(db, fee::dailyOfficeListStatement(), fee::OfficeNames::AsStored))
            if (office.code == parser.value(officeOpt))
                selection.office = office;
        selection.start = QDate::fromString(parser.value(fromOpt), Qt::ISODate);
        selection.end = QDate::fromString(parser.value(toOpt), Qt::ISODate);
        selection.feeCodes = fee::allFeeCodes(fee::loadFeeItemTree(db, fee::FeeTreeQuery::AllByCategory));
        selection.paymentMethods = fee::loadPaymentMethods(db);
        selection.paymentMethod = QStringLiteral("选择全部");
        const QString statement = db.adapt(fee::dailyReceiptsStatement(fee::DailyEngine::statementInput(selection)));

        std::printf("office %s, %s to %s\n", qPrintable(selection.office->code),
            qPrintable(selection.start.toString(Qt::ISODate)), qPrintable(selection.end.toString(Qt::ISODate)));
        const long before = peakKilobytes();

        const bool engineOnly = parser.isSet(engineOnlyOpt);
        const int rounds = engineOnly ? 1 : qMax(1, parser.value(roundsOpt).toInt());
        // The machine is shared: each round runs both, and the best of each
        // is compared.
        double bestBare = 0;
        double bestEngine = 0;
        for (int round = 1; round <= rounds; ++round) {
            double bareSeconds = 0;
            if (!engineOnly) {
                const qint64 bareRows = stepBare(path, statement, bareSeconds);
                std::printf("round %d bare:   %lld rows in %.3f s, peak %ld KB\n", round, bareRows, bareSeconds,
                    peakKilobytes());
                bestBare = round == 1 ? bareSeconds : qMin(bestBare, bareSeconds);
            }

            // The database layer alone, once: the statement through
            // DbConnection, every field read as text, nothing written.
            if (!engineOnly && round == 1) {
                QElapsedTimer layer;
                layer.start();
                fee::DbResult result
                    = db.query(fee::dailyReceiptsStatement(fee::DailyEngine::statementInput(selection)));
                const double opened = layer.nsecsElapsed() / 1e9;
                qint64 rows = 0;
                while (result.next()) {
                    for (int c = 0; c < result.fieldCount(); ++c)
                        result.textOrEmpty(c);
                    ++rows;
                }
                std::printf("round 1 db layer: %lld rows in %.3f s (%.3f s until the first row), peak %ld KB\n", rows,
                    layer.nsecsElapsed() / 1e9, opened, peakKilobytes());
            }

            fee::GridModel grid;
            fee::RunContext run(db);
            QElapsedTimer timer;
            timer.start();
            const fee::FillOutcome outcome = fee::DailyEngine(run, selection).fill(grid);
            const double engineSeconds = timer.nsecsElapsed() / 1e9;
            const long afterEngine = peakKilobytes();
            std::printf("round %d engine: %d rows in %.3f s, peak %ld KB (%ld KB more than before the runs)\n", round,
                outcome.dataRows, engineSeconds, afterEngine, afterEngine - before);
            bestEngine = round == 1 ? engineSeconds : qMin(bestEngine, engineSeconds);
            if (round == rounds && grid.rows() > 1)
                std::printf("totals: %s | %s | %s\n", qPrintable(grid.text(grid.rows() - 1, fee::DailyGrid::Amount)),
                    qPrintable(grid.text(grid.rows() - 1, fee::DailyGrid::Tax)),
                    qPrintable(grid.text(grid.rows() - 1, fee::DailyGrid::Income)));
        }
        if (!engineOnly)
            std::printf("best of %d: bare %.3f s, engine %.3f s, ratio engine / bare %.2f\n", rounds, bestBare,
                bestEngine, bestBare > 0 ? bestEngine / bestBare : 0.0);
    } catch (const fee::Failure& f) {
        std::fprintf(stderr, "error %d: %s\n", f.number(), f.what());
        return 1;
    }
    return 0;
}
