// Times one monthly run over every residential office and every fee item of a
// demo database, and splits the time between the database and the client.

#include "common/failure.h"
#include "db/dbconnection.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/monthly/monthlystatements.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>

namespace {

bool makeDemoDatabase(const QString& path, const QString& offices, const QString& rooms)
{
    std::printf(
        "creating %s (%s offices, %s rooms each)...\n", qPrintable(path), qPrintable(offices), qPrintable(rooms));
    std::fflush(stdout);
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral(FEE_CLI_PATH),
        { QStringLiteral("demo-db"), path, QStringLiteral("--offices"), offices, QStringLiteral("--rooms"), rooms });
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("db"), QStringLiteral("Demo database (made when missing)."));
    const QCommandLineOption dateOpt(
        QStringLiteral("date"), QStringLiteral("Statistics date."), QStringLiteral("date"));
    const QCommandLineOption officesOpt(QStringLiteral("offices"), QStringLiteral("Offices of a new database."),
        QStringLiteral("n"), QStringLiteral("32"));
    const QCommandLineOption roomsOpt(QStringLiteral("rooms"), QStringLiteral("Rooms per office of a new database."),
        QStringLiteral("n"), QStringLiteral("400"));
    parser.addOptions({ dateOpt, officesOpt, roomsOpt });
    parser.process(app);

    const QString path = parser.positionalArguments().value(0, QStringLiteral("bench-monthly.db"));
    if (!QFileInfo::exists(path) && !makeDemoDatabase(path, parser.value(officesOpt), parser.value(roomsOpt))) {
        std::fprintf(stderr, "could not create the demo database\n");
        return 1;
    }
    try {
        fee::DbConnection db;
        db.open(QStringLiteral("Provider=SQLite;Data Source=") + QFileInfo(path).absoluteFilePath());
        const qint64 ledgerRows = [&db] {
            fee::DbResult r = db.query(QStringLiteral("Select count(*) as n From WYZJ"));
            return r.next() ? qint64(r.number(QStringLiteral("n"))) : 0;
        }();

        fee::MonthlySelection selection;
        selection.offices = fee::loadOffices(db, fee::monthlyOfficeListStatement(false), fee::OfficeNames::OnOneLine);
        selection.feeCodes = fee::allFeeCodes(fee::loadFeeItemTree(db, fee::FeeTreeQuery::AllItems));
        selection.statisticsDate = parser.isSet(dateOpt)
            ? QDate::fromString(parser.value(dateOpt), QStringLiteral("yyyy-MM-dd"))
            : QDate::currentDate();
        selection.reportYear = QString::number(selection.statisticsDate.year());

        fee::GridModel grid;
        fee::MonthlyEngine engine(db);
        QElapsedTimer total;
        total.start();
        engine.run(selection, grid);
        const double totalS = total.nsecsElapsed() / 1e9;
        const double dbS = engine.databaseNanoseconds() / 1e9;
        std::printf("ledger rows        %lld\n", ledgerRows);
        std::printf("offices            %d\n", int(selection.offices.size()));
        std::printf("fee items          %d\n", int(selection.feeCodes.size()));
        std::printf("statistics date    %s\n", qPrintable(selection.statisticsDate.toString(Qt::ISODate)));
        std::printf("statements         %d\n", engine.statementCount());
        std::printf("total              %.3f s\n", totalS);
        std::printf("database           %.3f s (statements and row reads)\n", dbS);
        std::printf(
            "client             %.3f s (%.1f%%)\n", totalS - dbS, totalS > 0 ? (totalS - dbS) / totalS * 100 : 0.0);
        if (grid.rows() > 2)
            std::printf("totals row         %s | %s | %s\n", qPrintable(grid.text(grid.rows() - 1, 2)),
                qPrintable(grid.text(grid.rows() - 1, 8)), qPrintable(grid.text(grid.rows() - 1, 34)));

        // Where the database time goes: each measure over all offices.
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
    } catch (const fee::Failure& f) {
        std::fprintf(stderr, "error %d: %s\n", f.number(), f.what());
        return 1;
    }
    return 0;
}
