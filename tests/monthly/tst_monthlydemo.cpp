// The whole report on a generated demo database: every figure of every office
// equals the total of the ledger rows its detail lists, and the totals row adds
// up the office rows, for both kinds of office and several statistics dates.
#include "db/dbconnection.h"
#include "monthlyrun.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace fee;

class TestMonthlyDemo : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    DbConnection m_db;

    MonthlySelection selection(bool commercial, const QDate& date)
    {
        MonthlySelection s;
        s.offices = loadOffices(m_db, monthlyOfficeListStatement(commercial), OfficeNames::OnOneLine);
        s.feeCodes = allFeeCodes(loadFeeItemTree(m_db, FeeTreeQuery::AllItems));
        s.statisticsDate = date;
        s.reportYear = QString::number(date.year());
        return s;
    }

    static QString asFigure(const QString& text) { return text.isEmpty() ? QStringLiteral("0.00") : text; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("demo.db"));
        QProcess cli;
        cli.start(QStringLiteral(FEE_CLI_PATH),
            { QStringLiteral("demo-db"), path, QStringLiteral("--offices"), QStringLiteral("8"),
                QStringLiteral("--rooms"), QStringLiteral("15"), QStringLiteral("--seed"), QStringLiteral("5") });
        QVERIFY(cli.waitForFinished(120000));
        QCOMPARE(cli.exitCode(), 0);
        m_db.open(QStringLiteral("Provider=SQLite;Data Source=") + path);
    }

    void figuresMatchTheirDetails_data()
    {
        QTest::addColumn<bool>("commercial");
        QTest::addColumn<QDate>("date");
        for (const QDate& date : { QDate(2026, 12, 10), QDate(2025, 3, 1), QDate(2024, 6, 30) }) {
            QTest::addRow("residential %s", qPrintable(date.toString(Qt::ISODate))) << false << date;
            QTest::addRow("commercial %s", qPrintable(date.toString(Qt::ISODate))) << true << date;
        }
    }

    void figuresMatchTheirDetails()
    {
        QFETCH(bool, commercial);
        QFETCH(QDate, date);
        const MonthlySelection s = selection(commercial, date);
        QVERIFY(!s.offices.isEmpty());
        GridModel summary;
        runMonthly(m_db, s, summary);
        const int totalsRow = summary.rows() - 1;
        QCOMPARE(summary.rows(), s.offices.size() + 3);
        QCOMPARE(summary.text(totalsRow, 1), QStringLiteral("合计"));

        RunContext run(m_db);
        const MonthlyEngine engine(run, s);
        int nonEmpty = 0;
        for (int row = 2; row < totalsRow; ++row) {
            for (int column = 2; column < 38; ++column) {
                if (!engine.hasDetail(summary, row, column))
                    continue;
                GridModel detail;
                monthlyDetail(m_db, s, column, summary.rowKey(row).office, detail);
                const QString figure = summary.text(row, column);
                nonEmpty += figure.isEmpty() ? 0 : 1;
                if (detail.text(detail.rows() - 1, 5) != asFigure(figure))
                    QFAIL(qPrintable(QStringLiteral("office %1 column %2: figure %3, detail total %4")
                                         .arg(summary.rowKey(row).office)
                                         .arg(column)
                                         .arg(figure, detail.text(detail.rows() - 1, 5))));
            }
        }
        QVERIFY2(nonEmpty > 10, "the demo data should give figures in many columns");

        // The totals row adds up the office rows' figures as they show them, to the cent.
        QCOMPARE(summary.rowKind(totalsRow), RowKind::Total);
        for (int column : { 2, 3, 4, 5, 8, 9, 20, 21, 22, 23, 24, 27, 30, 31, 33, 34, 35, 37 }) {
            qint64 cents = 0;
            for (int row = 2; row < totalsRow; ++row)
                cents += summary.value(row, column).cents();
            QVERIFY2(summary.value(totalsRow, column) == CellValue::fromMoney(cents),
                qPrintable(QStringLiteral("column %1: %2, the rows add to %3")
                               .arg(column)
                               .arg(summary.text(totalsRow, column), CellValue::fromMoney(cents).text())));
        }
    }
};

QTEST_GUILESS_MAIN(TestMonthlyDemo)
#include "tst_monthlydemo.moc"
