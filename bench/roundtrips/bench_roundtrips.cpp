// Each report's command-line run over a slow link: the SQL Server stand-in
// serves a demo database twice, once answering at once and once waiting
// --latency ms before each answer (one round trip over a VPN), and every
// report runs on both, and on the embedded file. Prints the requests of each
// run (from the stand-in's log), the times and whether the CSVs agree, and
// checks the goals: monthly and receipts at most offices + 10 requests, the
// daily list at most 10, and at the latency at most 1.3 times the time
// without it.

#include "db/dbconnection.h"
#include "reports/shared/officelist.h"
#include "tests/support/clirun.h"
#include "tests/support/requestlog.h"
#include "tests/support/tdstestserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

struct Report {
    const char* name;
    QStringList args;
    QString officeList; // the offices the run covers; empty for one office
};

struct Run {
    int requests = 0;
    double seconds = 0;
    QByteArray csv;
};

bool makeDemoDatabase(const QString& path, const QString& offices, const QString& rooms)
{
    std::printf("creating %s (%s offices with households, %s rooms each)...\n", qPrintable(path), qPrintable(offices),
        qPrintable(rooms));
    std::fflush(stdout);
    const fee::testing::CliResult made = fee::testing::runCli({ QStringLiteral("demo-db"), path,
                                                                  QStringLiteral("--offices"), offices,
                                                                  QStringLiteral("--rooms"), rooms,
                                                                  QStringLiteral("--plain-collation") },
        -1);
    return made.exitCode == 0;
}

Run runOn(const QString& connection, const QStringList& args, fee::testing::RequestLog* log)
{
    Run run;
    if (log)
        log->restart();
    QElapsedTimer timer;
    timer.start();
    const fee::testing::CliResult result
        = fee::testing::runCli(args + QStringList { QStringLiteral("--connect"), connection, QStringLiteral("--csv"), "-" }, -1);
    run.seconds = timer.nsecsElapsed() / 1e9;
    if (result.exitCode != 0)
        throw fee::Failure(1, QStringLiteral("%1 failed: %2").arg(args.front(), result.err));
    run.csv = result.out;
    if (log)
        run.requests = log->count();
    return run;
}

// The CSV's rows without the serial column, sorted: the stand-in orders
// Chinese texts by code point where the embedded database orders them by
// pinyin, which moves the receipts summary's categories within an office and
// the daily list's payers within one invoice number.
QStringList rowsInAnyOrder(const QByteArray& csv)
{
    QStringList rows;
    for (QStringList record : fee::testing::csvRecords(csv)) {
        record.removeFirst();
        rows << record.join(QLatin1Char('|'));
    }
    rows.sort();
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Requests and times of each report over a slow link."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("db"), QStringLiteral("Demo database (made when missing)."));
    const QCommandLineOption officesOpt(QStringLiteral("offices"),
        QStringLiteral("Offices with households of a new demo database."), QStringLiteral("n"), QStringLiteral("14"));
    const QCommandLineOption roomsOpt(QStringLiteral("rooms"), QStringLiteral("Rooms per office of a new demo database."),
        QStringLiteral("n"), QStringLiteral("60"));
    const QCommandLineOption latencyOpt(QStringLiteral("latency"),
        QStringLiteral("Milliseconds the slow stand-in waits before each answer."), QStringLiteral("ms"),
        QStringLiteral("20"));
    const QCommandLineOption roundsOpt(QStringLiteral("rounds"),
        QStringLiteral("Runs of each report on each stand-in; the best time counts."), QStringLiteral("n"),
        QStringLiteral("2"));
    parser.addOptions({ officesOpt, roomsOpt, latencyOpt, roundsOpt });
    parser.process(app);
    const int rounds = std::max(1, parser.value(roundsOpt).toInt());

    const QString missing = fee::testing::TdsTestServer::missingReason();
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(missing));
        return 1;
    }
    const QString path
        = QFileInfo(parser.positionalArguments().value(0, QStringLiteral("bench-roundtrips.db"))).absoluteFilePath();
    if (!QFileInfo::exists(path) && !makeDemoDatabase(path, parser.value(officesOpt), parser.value(roomsOpt))) {
        std::fprintf(stderr, "could not create the demo database\n");
        return 1;
    }
    const QString latency = parser.value(latencyOpt);
    const QString embedded = QStringLiteral("Provider=SQLite;Data Source=") + path;

    QTemporaryDir fastDir;
    QTemporaryDir slowDir;
    fee::testing::TdsTestServer fast;
    fee::testing::TdsTestServer slow;
    const QStringList longer { QStringLiteral("--max-seconds"), QStringLiteral("7200") };
    if (fast.start(path, fastDir.path(), QString::fromLatin1(fee::testing::TdsTestServer::kPassword), 0,
            longer + QStringList { QStringLiteral("--latency-ms"), QStringLiteral("0") })
            <= 0
        || slow.start(path, slowDir.path(), QString::fromLatin1(fee::testing::TdsTestServer::kPassword), 0,
               longer + QStringList { QStringLiteral("--latency-ms"), latency })
            <= 0) {
        std::fprintf(stderr, "the stand-in did not start\n");
        return 1;
    }
    fee::testing::RequestLog fastLog(fastDir.filePath(QStringLiteral("server.log")));
    fee::testing::RequestLog slowLog(slowDir.filePath(QStringLiteral("server.log")));

    const Report reports[] = {
        { "monthly, every office", { "monthly", "--date", "2026-06-30" }, fee::monthlyOfficeListStatement(false) },
        { "receipts, every office, month and year columns",
            { "receipts", "--from", "2026-06-01", "--to", "2026-06-30", "--month-from", "2026-06-01", "--month-to",
                "2026-06-30", "--year-from", "2026-01-01", "--year-to", "2026-06-30" },
            fee::receiptsOfficeListStatement() },
        { "daily, office 01, two years", { "daily", "--office", "01", "--from", "2025-01-01", "--to", "2026-12-31" },
            QString() },
    };

    std::printf("database %s, stand-in at 0 ms and at %s ms a request, best of %d, FEE_REPORT_CONNECTIONS=%s\n\n",
        qPrintable(path), qPrintable(latency), rounds, qgetenv("FEE_REPORT_CONNECTIONS").isEmpty() ? "(unset)"
                                                                                             : qgetenv("FEE_REPORT_CONNECTIONS").constData());
    std::printf("%-48s %7s %9s %9s %9s %9s %9s %6s  %s\n", "run", "offices", "requests", "requests", "embedded",
        "0 ms", qPrintable(latency + QStringLiteral(" ms")), "ratio", "CSV");
    std::printf("%-48s %7s %9s %9s %9s %9s %9s %6s\n", "", "", "0 ms", qPrintable(latency + QStringLiteral(" ms")), "s",
        "s", "s", "");
    bool met = true;
    try {
        fee::DbConnection lists;
        lists.open(embedded);
        for (const Report& report : reports) {
            const int offices = report.officeList.isEmpty()
                ? 1
                : int(fee::loadOffices(lists, report.officeList, fee::OfficeNames::AsStored).size());
            const Run local = runOn(embedded, report.args, nullptr);
            // The two stand-ins take turns, and each keeps its best time: a
            // busy machine slows a round, not one side.
            Run atOnce = runOn(fast.oleDbString(), report.args, &fastLog);
            Run delayed = runOn(slow.oleDbString(), report.args, &slowLog);
            for (int round = 1; round < rounds; ++round) {
                const Run again = runOn(fast.oleDbString(), report.args, &fastLog);
                const Run slowAgain = runOn(slow.oleDbString(), report.args, &slowLog);
                atOnce.seconds = std::min(atOnce.seconds, again.seconds);
                delayed.seconds = std::min(delayed.seconds, slowAgain.seconds);
                atOnce.requests = std::max(atOnce.requests, again.requests);
                delayed.requests = std::max(delayed.requests, slowAgain.requests);
            }
            // "same": byte for byte on all three; "same rows": the embedded
            // road orders some rows differently (see rowsInAnyOrder).
            const bool identical = atOnce.csv == delayed.csv && atOnce.csv == local.csv;
            const bool sameCsv = !atOnce.csv.isEmpty()
                && (identical
                    || (atOnce.csv == delayed.csv && rowsInAnyOrder(atOnce.csv) == rowsInAnyOrder(local.csv)));
            const double ratio = delayed.seconds / atOnce.seconds;
            std::printf("%-48s %7d %9d %9d %9.2f %9.2f %9.2f %6.2f  %s\n", report.name, offices, atOnce.requests,
                delayed.requests, local.seconds, atOnce.seconds, delayed.seconds, ratio,
                identical ? "same" : sameCsv ? "same rows" : "DIFFERENT");
            const int allowed = report.officeList.isEmpty() ? 10 : offices + 10;
            met = met && sameCsv && ratio <= 1.3 && atOnce.requests <= allowed && delayed.requests <= allowed;
        }
    } catch (const fee::Failure& failure) {
        std::fprintf(stderr, "%s\n", qPrintable(failure.description()));
        return 1;
    }
    std::printf("\ngoals (requests <= offices + 10, daily <= 10; time at %s ms <= 1.3 x at 0 ms; same CSV): %s\n",
        qPrintable(latency), met ? "met" : "NOT MET");
    return met ? 0 : 2;
}
