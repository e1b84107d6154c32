// Fetches one large result (invoice lines with 18 text-ish columns, as the
// daily report lists them) from a demo database in two ways, each in its own
// child process so that its peak memory can be read:
//   raw     stepped with SQLite's bare interface, every column read as text;
//   stream  DbConnection::query streamed into a GridModel, a row at a time
//           (GridModel::appendRow with the row's texts);
//   read    DbConnection::query, every cell read as a QString and dropped
//           (the data layer alone, without the grid's storage).
// Prints the times, the ratio stream/raw, the peak resident memory of each
// and the total size of the result's text.

#include "bench/support/demodatabase.h"
#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "db/dbconnection.h"
#include "db/sqlitefunctions.h"
#include "db/statementadapter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kColumns = 18;

QString statement(const QString& from, const QString& to)
{
    return QStringLiteral(
        "Select 票据.入库单编号, 票据.票据编号, 票据.付款人, 票据.地址, 票据开票数据.项目, 票据开票数据.摘要, "
        "票据开票数据.金额, 票据.开票日期, 票据.开票人, 票据.收款日期, 票据.收款人, 票据开票数据.税额, 票据.收款方式, "
        "票据.备注, 票据.内换票据编号, 票据.对应调换票据入库单, 票据.内换日期, 票据开票数据.收费项目代号 "
        "From 票据 Inner Join 票据开票数据 On 票据.ID = 票据开票数据.票据id "
        "Where Convert(Char(8), 票据.收款日期, 112) Between '%1' And '%2'")
        .arg(QString(from).remove(QLatin1Char('-')), QString(to).remove(QLatin1Char('-')));
}

// ---- the children: each prints "nanoseconds rows cells utf8-bytes utf16-units" ----

int runRaw(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return 2;
    // The same collation, functions and planner settings as the connection.
    fee::registerSqliteFunctions(db);
    sqlite3_exec(db, "PRAGMA automatic_index=0", nullptr, nullptr, nullptr);
    QElapsedTimer timer;
    timer.start();
    const QByteArray text = fee::adaptStatementForSqlite(sql).toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        return 2;
    }
    qint64 rows = 0;
    qint64 bytes = 0;
    const int columns = sqlite3_column_count(stmt);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_text(stmt, c))
                bytes += sqlite3_column_bytes(stmt, c);
        }
        ++rows;
    }
    const qint64 ns = timer.nsecsElapsed();
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    std::printf("%lld %lld %lld %lld %lld\n", ns, rows, rows * columns, bytes, qint64(-1));
    return 0;
}

// Reads every cell as a QString through DbConnection and keeps none: what the
// data layer itself costs, without the grid's storage.
int runRead(const QString& path, const QString& sql)
{
    try {
        fee::DbConnection db;
        db.open(QStringLiteral("Provider=SQLite;Data Source=") + path);
        QElapsedTimer timer;
        timer.start();
        fee::DbResult result = db.query(sql);
        const int columns = result.fieldCount();
        qint64 rows = 0;
        qint64 units = 0;
        while (result.next()) {
            for (int c = 0; c < columns; ++c)
                units += result.textOrEmpty(c).size();
            ++rows;
        }
        const qint64 ns = timer.nsecsElapsed();
        std::printf("%lld %lld %lld %lld %lld\n", ns, rows, rows * columns, qint64(-1), units);
        return 0;
    } catch (const fee::Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 2;
    }
}

int runStream(const QString& path, const QString& sql)
{
    try {
        fee::DbConnection db;
        db.open(QStringLiteral("Provider=SQLite;Data Source=") + path);
        fee::GridModel grid;
        grid.setRows(1);
        grid.setCols(kColumns);
        QElapsedTimer timer;
        timer.start();
        fee::DbResult result = db.query(sql);
        const int columns = result.fieldCount();
        while (result.next()) {
            QVector<QString> cells(columns);
            for (int c = 0; c < columns; ++c)
                cells[c] = result.textOrEmpty(c);
            grid.appendRow(std::move(cells));
        }
        const qint64 ns = timer.nsecsElapsed();
        qint64 bytes = 0;
        qint64 units = 0;
        for (int r = 1; r < grid.rows(); ++r) {
            for (int c = 0; c < columns; ++c) {
                const QString cell = grid.text(r, c);
                units += cell.size();
                bytes += cell.toUtf8().size();
            }
        }
        std::printf(
            "%lld %lld %lld %lld %lld\n", ns, qint64(grid.rows() - 1), qint64(grid.rows() - 1) * columns, bytes, units);
        return 0;
    } catch (const fee::Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 2;
    }
}

// ---- the parent ----

struct Run {
    bool ok = false;
    qint64 ns = 0;
    qint64 rows = 0;
    qint64 cells = 0;
    qint64 utf8 = 0;
    qint64 utf16 = 0;
    long peakKb = 0;
};

Run runChild(const char* self, const QStringList& args)
{
    Run run;
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return run;
    std::vector<QByteArray> storage { QByteArray(self) };
    for (const QString& a : args)
        storage.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        execv(self, argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    QByteArray out;
    char buf[256];
    for (ssize_t n; (n = read(pipeFds[0], buf, sizeof buf)) > 0;)
        out.append(buf, n);
    close(pipeFds[0]);
    int status = 0;
    rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return run;
    const QList<QByteArray> f = out.trimmed().split(' ');
    if (f.size() != 5)
        return run;
    run = { true, f[0].toLongLong(), f[1].toLongLong(), f[2].toLongLong(), f[3].toLongLong(), f[4].toLongLong(),
        usage.ru_maxrss };
    return run;
}

double mb(double bytes) { return bytes / (1024.0 * 1024.0); }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("db"), QStringLiteral("Demo database (made when missing)."));
    const QCommandLineOption fromOpt(QStringLiteral("from"), QStringLiteral("First receipt date."),
        QStringLiteral("date"), QStringLiteral("2023-01-01"));
    const QCommandLineOption toOpt(QStringLiteral("to"), QStringLiteral("Last receipt date."), QStringLiteral("date"),
        QStringLiteral("2023-07-31"));
    const QCommandLineOption repeatOpt(QStringLiteral("repeat"), QStringLiteral("Runs of each way (best time kept)."),
        QStringLiteral("n"), QStringLiteral("3"));
    const QCommandLineOption childOpt(
        QStringLiteral("child"), QStringLiteral("(internal) raw or stream."), QStringLiteral("way"));
    parser.addOptions({ fromOpt, toOpt, repeatOpt, childOpt });
    parser.process(app);

    const QString path
        = QFileInfo(parser.positionalArguments().value(0, QStringLiteral("bench-fetch.db"))).absoluteFilePath();
    const QString sql = statement(parser.value(fromOpt), parser.value(toOpt));
    if (parser.isSet(childOpt)) {
        const QString way = parser.value(childOpt);
        if (way == QLatin1String("raw"))
            return runRaw(path, sql);
        return way == QLatin1String("read") ? runRead(path, sql) : runStream(path, sql);
    }

    if (!fee::bench::ensureDemoDatabase(path, QStringLiteral("32"), QStringLiteral("400")))
        return 1;
    const QStringList common
        = { path, QStringLiteral("--from"), parser.value(fromOpt), QStringLiteral("--to"), parser.value(toOpt) };
    const int repeat = std::max(1, parser.value(repeatOpt).toInt());
    auto best = [&](const char* way) {
        Run kept;
        for (int i = 0; i < repeat; ++i) {
            const Run run = runChild(argv[0], common + QStringList { QStringLiteral("--child"), QLatin1String(way) });
            if (!run.ok)
                return run;
            if (!kept.ok || run.ns < kept.ns)
                kept = run;
            kept.peakKb = std::max(kept.peakKb, run.peakKb);
        }
        return kept;
    };
    runChild(
        argv[0], common + QStringList { QStringLiteral("--child"), QStringLiteral("raw") }); // warms the file cache
    const Run raw = best("raw");
    const Run stream = best("stream");
    const Run read = best("read");
    if (!raw.ok || !stream.ok || !read.ok) {
        std::fprintf(stderr, "a child run failed\n");
        return 1;
    }
    const double ratio = double(stream.ns) / double(raw.ns);
    const double textBytes = double(stream.utf16) * 2;
    std::printf("result             %lld rows x %d columns = %lld cells\n", stream.rows, kColumns, stream.cells);
    std::printf("text size          %.1f MB as UTF-16 (QString), %.1f MB as UTF-8 (the file's)\n", mb(textBytes),
        mb(double(stream.utf8)));
    std::printf("(a) raw SQLite     %8.3f s   peak RSS %7.1f MB\n", raw.ns / 1e9, raw.peakKb / 1024.0);
    std::printf(
        "(b) DbConnection   %8.3f s   peak RSS %7.1f MB   (into GridModel)\n", stream.ns / 1e9, stream.peakKb / 1024.0);
    std::printf("(c) DbConnection   %8.3f s   peak RSS %7.1f MB   (texts read, none kept)\n", read.ns / 1e9,
        read.peakKb / 1024.0);
    std::printf("ratio b/a          %.2f   (goal <= 1.5)\n", ratio);
    std::printf("peak b / text      %.2f x UTF-16 size, %.2f x UTF-8 size   (the whole process)\n",
        stream.peakKb * 1024.0 / textBytes, stream.peakKb * 1024.0 / double(stream.utf8));
    // The process itself (libraries, SQLite's page cache) is what (c) peaks at
    // without keeping a text; what b holds beyond it is the grid's.
    std::printf("grid memory / text %.2f x UTF-16 size   (b's peak above c's; goal <= 2)\n",
        (stream.peakKb - read.peakKb) * 1024.0 / textBytes);
    if (raw.rows != stream.rows)
        std::printf("MISMATCH: raw read %lld rows\n", raw.rows);
    return 0;
}
