#include "cli/demodb/demodb.h"
#include "core/grid/gridmodel.h"
#include "print/printgrid.h"
#include "print/recordingsurface.h"
#include "workbook/gridsheetexport.h"
#include "db/dbconnection.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsdetails.h"
#include "reports/receipts_summary/receiptsengine.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionlists.h"
#include "reports/shared/selectionresolver.h"
#include "tests/support/tdstestserver.h"
#include "tests/support/roads.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray sha256(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

// Every command-line report with every output it writes.
QList<QStringList> reportCommands(const QString& out)
{
    const QString base = out + QStringLiteral("/");
    return {
        { "monthly", "--date", "2026-06-15", "--csv", base + "monthly.csv", "--xlsx", base + "monthly.xlsx" },
        { "monthly", "--date", "2026-06-15", "--kind", "commercial", "--csv", base + "commercial.csv" },
        { "receipts", "--from", "2026-05-01", "--to", "2026-06-30", "--month-from", "2026-06-01", "--month-to",
            "2026-06-30", "--year-from", "2026-01-01", "--year-to", "2026-06-30", "--csv", base + "receipts.csv",
            "--xlsx", base + "receipts.xlsx", "--pdf", base + "receipts.pdf" },
        { "daily", "--office", "01", "--from", "2026-01-01", "--to", "2026-06-30", "--csv", base + "daily.csv",
            "--xlsx", base + "daily.xlsx", "--pdf", base + "daily.pdf" },
        { "daily", "--office", "01", "--from", "2026-01-01", "--to", "2026-06-30", "--scope", "1", "--department", "01",
            "--csv", base + "daily-department.csv" },
    };
}

// The statement words that change a database or its rights.
const QRegularExpression kWriting(QStringLiteral("^\\W*(INSERT|UPDATE|DELETE|MERGE|TRUNCATE|CREATE|DROP|ALTER|GRANT|"
                                                 "REVOKE|DENY|EXEC(UTE)?\\s+(?!sp_(prepare|execute|unprepare)))"),
    QRegularExpression::CaseInsensitiveOption);

} // namespace

// The reports only read: every report, detail list, export and printout
// leaves the embedded file byte for byte as it was, and sends SQL Server no
// statement that writes.
class TestReadOnly : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString runCli(const QStringList& args, const QString& connection)
    {
        QProcess cli;
        cli.start(QStringLiteral(FEE_CLI_PATH), args + QStringList { QStringLiteral("--connect"), connection });
        if (!cli.waitForFinished(300000))
            return QStringLiteral("did not finish");
        if (cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != 0)
            return QString::fromUtf8(cli.readAllStandardError());
        return QString();
    }

    // The detail lists, the export into an existing workbook and the
    // printout, through the engines the windows use.
    void detailsExportAndPrint(const QString& connectionString, const QString& out)
    {
        fee::DbConnection db;
        db.open(connectionString);
        fee::RunContext run(db);
        QString error;

        fee::MonthlySelection monthly;
        monthly.offices = fee::loadOffices(db, fee::monthlyOfficeListStatement(false), fee::OfficeNames::OnOneLine);
        monthly.feeCodes = fee::feeCodesByCode(
            fee::loadFeeItemTree(db, fee::FeeTreeQuery::AllItems), { QStringLiteral("all") }, &error);
        monthly.statisticsDate = QDate(2026, 6, 15);
        monthly.reportYear = QStringLiteral("2026");
        fee::GridModel summary;
        fee::MonthlyEngine(run, monthly).fill(summary);
        fee::GridModel detail;
        for (int column : { 2, 8, 9, 29 }) {
            fee::MonthlyEngine(run, monthly)
                .fillDetail({ fee::RowKey { monthly.offices.front().code }, column }, detail);
            QVERIFY(detail.rows() > 1);
        }

        fee::ReceiptsSelection receipts;
        receipts.offices = fee::loadOffices(db, fee::receiptsOfficeListStatement(), fee::OfficeNames::AsStored);
        receipts.feeCodes = fee::feeCodesByCode(
            fee::loadFeeItemTree(db, fee::FeeTreeQuery::InUseByCategory), { QStringLiteral("all") }, &error);
        receipts.paymentMethods = fee::loadPaymentMethods(db);
        receipts.chosenMethod = QString::fromUtf8(fee::kChooseAll);
        receipts.receipts = { QDate(2026, 1, 1), QDate(2026, 6, 30) };
        fee::GridModel receiptsGrid;
        fee::ReceiptsEngine(run, receipts).fill(receiptsGrid);
        fee::GridModel receiptsDetail;
        fee::layoutReceiptsDetailGrid(receiptsDetail);
        QSet<QString> kinds;
        for (int r = receiptsGrid.fixedRows(); r < receiptsGrid.rows(); ++r) {
            const fee::RowKey key = receiptsGrid.rowKey(r);
            const QString kind = QString::number(key.kind);
            if (!fee::hasReceiptsDetail(key) || kinds.contains(kind))
                continue;
            fee::fillReceiptsDetail(run, receipts, key, receiptsDetail);
            kinds.insert(kind);
        }
        QVERIFY2(kinds.size() >= 2, qPrintable(QStringList(kinds.values()).join(QLatin1Char(','))));

        // The export dialog's sheet, into the workbook a report wrote.
        fee::GridSheetOptions sheet;
        sheet.title = QStringLiteral("明细");
        sheet.sheetName = QStringLiteral("明细");
        sheet.columns = fee::GridSheetExport::exportableColumns(receiptsDetail);
        QCOMPARE(fee::GridSheetExport::write(receiptsDetail, sheet, out + QStringLiteral("/monthly.xlsx")),
            out + QStringLiteral("/monthly.xlsx"));

        fee::RecordingSurface surface(11906, 16838);
        fee::PrintGridOptions print;
        print.title = QStringLiteral("明细");
        print.paperWidth = fee::PaperWidthAnswer::No;
        QVERIFY(fee::PrintGrid(surface, detail, print).pages > 0);
    }

    // The lines of the stand-in's log that show a write: a statement that
    // writes, an RPC beyond reading and preparing, or a refused write (error
    // 229 or 262). Counts the statements seen.
    static QStringList writingLines(const QString& logPath, int* statements)
    {
        QFile log(logPath);
        if (!log.open(QIODevice::ReadOnly))
            return { QStringLiteral("no log") };
        // The log names every batch and RPC as it arrives, each statement as
        // it runs ("sqlite:"), and every error sent back (a refused write is
        // error 229 or 262).
        const QRegularExpression statementLine(QStringLiteral("spid \\d+: (?:sqlite: |batch )'?(.*)$"));
        const QRegularExpression rpcLine(QStringLiteral("spid \\d+: RPC (\\w+) "));
        const QRegularExpression errorLine(QStringLiteral("spid \\d+: error (229|262):"));
        const QStringList reading { "sp_prepare", "sp_prepexec", "sp_execute", "sp_unprepare", "sp_executesql",
            "sp_cursoropen", "sp_cursorfetch", "sp_cursoroption", "sp_cursorclose" };
        *statements = 0;
        QStringList writing;
        for (const QString& line : QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'))) {
            const QRegularExpressionMatch rpc = rpcLine.match(line);
            if (errorLine.match(line).hasMatch() || (rpc.hasMatch() && !reading.contains(rpc.captured(1))))
                writing << line;
            const QRegularExpressionMatch match = statementLine.match(line);
            if (!match.hasMatch())
                continue;
            ++*statements;
            if (kWriting.match(match.captured(1)).hasMatch())
                writing << line;
        }
        return writing;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        fee::demo::DemoDbOptions options;
        options.path = m_dir.filePath(QStringLiteral("embedded/demo.db"));
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("embedded"))));
        fee::demo::buildDemoDb(options);
        options.path = m_dir.filePath(QStringLiteral("server/demo.db"));
        options.plainCollation = true; // the stand-in does not know the embedded collation
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("server"))));
        fee::demo::buildDemoDb(options);
    }

    void embeddedFileStaysAsItWas()
    {
        const QString folder = m_dir.filePath(QStringLiteral("embedded"));
        const QString file = folder + QStringLiteral("/demo.db");
        const QString out = m_dir.filePath(QStringLiteral("embedded-out"));
        QVERIFY(QDir().mkpath(out));
        const QByteArray before = sha256(file);
        const QDateTime modified = QFileInfo(file).lastModified();
        const QString connection = QStringLiteral("Provider=SQLite;Data Source=") + file;

        for (const QStringList& command : reportCommands(out))
            QCOMPARE(runCli(command, connection), QString());
        detailsExportAndPrint(connection, out);
        if (QTest::currentTestFailed())
            return;

        QCOMPARE(sha256(file), before);
        QCOMPARE(QFileInfo(file).lastModified(), modified);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList { QStringLiteral("demo.db") });
    }

    void serverGetsNoWritingStatement()
    {
        FEE_REQUIRE_ROAD(fee::testing::TdsTestServer::missingReason());
        const QString work = m_dir.filePath(QStringLiteral("server"));
        const QString out = m_dir.filePath(QStringLiteral("server-out"));
        QVERIFY(QDir().mkpath(out));
        fee::testing::TdsTestServer server;
        QVERIFY(server.start(work + QStringLiteral("/demo.db"), work) > 0);

        for (const QStringList& command : reportCommands(out))
            QCOMPARE(runCli(command, server.oleDbString()), QString());
        detailsExportAndPrint(server.oleDbString(), out);
        server.stop();
        if (QTest::currentTestFailed())
            return;

        const QString logPath = work + QStringLiteral("/server.log");
        int statements = 0;
        QCOMPARE(writingLines(logPath, &statements), QStringList());
        QVERIFY2(statements > 100, qPrintable(QString::number(statements)));

        // The scan sees a write when there is one.
        QVERIFY(server.start(work + QStringLiteral("/demo.db"), work) > 0);
        fee::DbConnection db;
        db.open(server.oleDbString());
        QVERIFY_THROWS_EXCEPTION(fee::Failure, db.query(QStringLiteral("Delete From 设置管理处")));
        server.stop();
        QVERIFY(!writingLines(logPath, &statements).isEmpty());
    }
};

QTEST_MAIN(TestReadOnly)
#include "tst_readonly.moc"
