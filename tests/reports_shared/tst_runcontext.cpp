#include "core/failure.h"
#include "db/dbconnection.h"
#include "reports/shared/reportrunner.h"
#include "reports/shared/runcontext.h"

#include "../db/fixture.h"

#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <mutex>

using namespace fee;

// Offices side by side on helper connections, written in office order; the
// failure and cancel rules; a run on a worker thread.
class TestRunContext : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_source;
    DbConnection m_db;

private slots:
    void initTestCase()
    {
        const QString path = m_dir.filePath(QStringLiteral("fee.db"));
        QCOMPARE(fixture::createFeeDatabase(path), QString());
        m_source = QStringLiteral("Provider=SQLite;Data Source=") + path;
        m_db.open(m_source);
    }

    void officesWrittenInOrder_data()
    {
        QTest::addColumn<int>("connections");
        QTest::newRow("one at a time") << 1;
        QTest::newRow("side by side") << 3;
    }
    void officesWrittenInOrder()
    {
        QFETCH(int, connections);
        RunContext run(m_db);
        run.setParallelism(connections);
        run.setOfficeCount(12);
        std::mutex mutex;
        QSet<DbConnection*> used;
        QSet<QThread*> threads;
        QVector<int> written;
        run.forEachOffice(12, [&](int index, DbConnection& connection) -> std::function<void()> {
            DbResult r = connection.query(QStringLiteral("Select count(*) As n From 设置管理处"));
            r.next();
            const int n = int(r.number(0));
            {
                std::lock_guard lock(mutex);
                used.insert(&connection);
                threads.insert(QThread::currentThread());
            }
            // Later offices finish first now and then: the order still holds.
            QThread::msleep(index % 3 == 0 ? 15 : 1);
            return [&written, index, n] { written << index * 10 + n; };
        });
        QVector<int> expected;
        for (int i = 0; i < 12; ++i)
            expected << i * 10 + 3;
        QCOMPARE(written, expected);
        QCOMPARE(run.progress().officesDone, 12);
        if (connections == 1) {
            QCOMPARE(used, QSet<DbConnection*> { &m_db });
        } else {
            // The run's own connection works beside the helpers' siblings.
            QVERIFY(used.size() > 1);
            QVERIFY(used.size() <= connections);
            QVERIFY(threads.size() > 1);
            QCOMPARE(used.contains(&m_db), threads.contains(QThread::currentThread()));
        }
    }

    void failureKeepsTheOfficesBeforeIt_data()
    {
        QTest::addColumn<int>("connections");
        QTest::addColumn<bool>("cancel"); // the office cancels the run instead of failing
        QTest::newRow("failure, one at a time") << 1 << false;
        QTest::newRow("failure, side by side") << 3 << false;
        QTest::newRow("cancel, one at a time") << 1 << true;
        QTest::newRow("cancel, side by side") << 3 << true;
    }
    void failureKeepsTheOfficesBeforeIt()
    {
        QFETCH(int, connections);
        QFETCH(bool, cancel);
        QVector<int> written;
        {
            RunContext run(m_db);
            run.setParallelism(connections);
            try {
                run.forEachOffice(10, [&](int index, DbConnection& connection) -> std::function<void()> {
                    if (index == 4) {
                        if (!cancel)
                            throw Failure(-7, QStringLiteral("office 4 failed"));
                        run.cancel();
                    }
                    connection.query(QStringLiteral("Select 1 As one")).next();
                    return [&written, index] { written << index; };
                });
                QFAIL("the run went on");
            } catch (const Failure& failure) {
                QCOMPARE(isCancellation(failure), cancel);
                if (!cancel)
                    QCOMPARE(failure.number(), -7);
            }
        }
        const QVector<int> before { 0, 1, 2, 3 };
        if (cancel && connections > 1) {
            // A cancel stops the offices still in flight beside office 4 as
            // well: what was written is the run's rows so far, in office order.
            QVERIFY(written.size() <= before.size());
            QCOMPARE(written, before.mid(0, written.size()));
        } else {
            QCOMPARE(written, before);
        }
        // The cancellation belonged to that run: the connection serves the next.
        QVERIFY(m_db.query(QStringLiteral("Select 1 As one")).next());
    }

    // Tasks over groups of offices: the last group takes what is left, and
    // progress counts offices.
    void groupsOfOffices()
    {
        RunContext run(m_db);
        run.setParallelism(2);
        run.setOfficeCount(7);
        QVector<int> written;
        run.forEachOffice(
            7,
            [&](int index, DbConnection& connection) -> std::function<void()> {
                connection.query(QStringLiteral("Select 1 As one")).next();
                return [&written, index] { written << index; };
            },
            3);
        QCOMPARE(written, QVector<int>({ 0, 1, 2 }));
        QCOMPARE(run.progress().officesDone, 7);
    }

    void usualConnections()
    {
        const QByteArray saved = qgetenv("FEE_REPORT_CONNECTIONS");
        qunsetenv("FEE_REPORT_CONNECTIONS");
        QCOMPARE(RunContext::defaultParallelism(DbBackend::SqlServer), 8);
        QCOMPARE(RunContext::defaultParallelism(DbBackend::Sqlite), std::clamp(QThread::idealThreadCount(), 1, 4));
        qputenv("FEE_REPORT_CONNECTIONS", "3");
        QCOMPARE(RunContext::defaultParallelism(DbBackend::SqlServer), 3);
        QCOMPARE(RunContext::defaultParallelism(DbBackend::Sqlite), 3);
        qputenv("FEE_REPORT_CONNECTIONS", saved);
        if (saved.isNull())
            qunsetenv("FEE_REPORT_CONNECTIONS");
    }

    void workerRun()
    {
        ReportRunner runner;
        QSignalSpy finished(&runner, &ReportRunner::finished);
        QSignalSpy progressed(&runner, &ReportRunner::progressed);
        QThread* worker = nullptr;
        QVERIFY(runner.start(m_db, [&](RunContext& run) {
            worker = QThread::currentThread();
            run.setOfficeCount(3);
            run.forEachOffice(3, [](int, DbConnection& c) -> std::function<void()> {
                c.query(QStringLiteral("Select 1 As one")).next();
                return {};
            });
        }));
        QVERIFY(runner.isRunning());
        QVERIFY(!runner.start(m_db, [](RunContext&) {}));
        QVERIFY(finished.wait(10000));
        QVERIFY(!runner.isRunning());
        QVERIFY(worker && worker != QThread::currentThread());
        const auto outcome = finished.first().first().value<RunOutcome>();
        QVERIFY(!outcome.failed && !outcome.cancelled);
        QCOMPARE(progressed.last().first().value<RunProgress>().officesDone, 3);
    }

    void workerRunCancelledOrFailed()
    {
        ReportRunner runner;
        QSignalSpy finished(&runner, &ReportRunner::finished);
        QVERIFY(runner.start(m_db, [](RunContext& run) {
            while (true) {
                run.throwIfCancelled();
                QThread::msleep(5);
            }
        }));
        QTimer::singleShot(50, &runner, [&runner] { runner.cancel(); });
        QVERIFY(finished.wait(10000));
        QVERIFY(finished.first().first().value<RunOutcome>().cancelled);

        DbConnection missing;
        QVERIFY_THROWS_EXCEPTION(Failure,
            missing.open(QStringLiteral("Provider=SQLite;Data Source=") + m_dir.filePath(QStringLiteral("none.db"))));
        QVERIFY(runner.start(missing, [](RunContext&) {}));
        runner.waitForFinished();
        QCOMPARE(finished.size(), 2);
        const auto outcome = finished.last().first().value<RunOutcome>();
        QVERIFY(outcome.failed);
        QVERIFY2(outcome.description.contains(QStringLiteral("none.db")), qPrintable(outcome.description));
    }
};

QTEST_GUILESS_MAIN(TestRunContext)
#include "tst_runcontext.moc"
