#include "db/dbconnection.h"
#include "db/dberror.h"
#include "tests/support/tdstestserver.h"

#include "fixture.h"
#include "threadcheck.h"
#include "tests/support/roads.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

using fee::DbConnection;
using fee::Failure;

namespace {

Failure failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return failure;
    }
    return Failure(0, QString());
}

QString firstCode(DbConnection& db)
{
    fee::DbResult r = db.query(QStringLiteral("Select GYD_DH From 设置管理处 Order by GYD_DH"));
    return r.next() ? r.textOrEmpty(0) : QString();
}

struct KeepAlive {
    int on = 0;
    int idle = 0;
};

// The keepalive settings of this process's TCP sockets to the port.
QList<KeepAlive> keepAliveTo(int port)
{
    QList<KeepAlive> found;
    const QStringList fds = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System);
    for (const QString& name : fds) {
        const int fd = name.toInt();
        sockaddr_in peer {};
        socklen_t length = sizeof peer;
        if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0 || peer.sin_family != AF_INET
            || ntohs(peer.sin_port) != port)
            continue;
        KeepAlive k;
        socklen_t size = sizeof(int);
        ::getsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &k.on, &size);
        size = sizeof(int);
        ::getsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &k.idle, &size);
        found << k;
    }
    return found;
}

} // namespace

// The link to SQL Server under a server that stops answering with its link
// open (the stand-in stopped with SIGSTOP): a request fails after its
// timeout with the time named, a cancel returns at once, a login is ended
// by a cancel, and once the server goes on the connection opens again. Every
// link has TCP keepalive.
class TestServerLink : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void everyLinkKeepsAlive();
    void silentServerTimesOut_data();
    void silentServerTimesOut();
    void cancelDoesNotWaitForTheServer();
    void cancelEndsASiblingsLogin();

private:
    QTemporaryDir m_dir;
    fee::testing::TdsTestServer m_server;
};

void TestServerLink::initTestCase()
{
    FEE_REQUIRE_ROAD(fee::testing::TdsTestServer::missingReason());
    QVERIFY(m_dir.isValid());
    const QString db = m_dir.filePath(QStringLiteral("fee.db"));
    QCOMPARE(fixture::createFeeDatabase(db, false), QString());
    QVERIFY2(m_server.start(db, m_dir.path()) > 0, "the test server did not start");
}

void TestServerLink::cleanupTestCase() { m_server.stop(); }

void TestServerLink::cleanup()
{
    m_server.resume();
    DbConnection::setTimeoutOverride(std::nullopt);
}

void TestServerLink::everyLinkKeepsAlive()
{
    QVERIFY(keepAliveTo(m_server.port()).isEmpty());
    DbConnection db;
    db.open(m_server.oleDbString());
    const std::unique_ptr<DbConnection> sibling = db.openSibling();
    QCOMPARE(firstCode(*sibling), QStringLiteral("01"));
    const QList<KeepAlive> links = keepAliveTo(m_server.port());
    QCOMPARE(links.size(), 2);
    for (const KeepAlive& link : links) {
        QCOMPARE(link.on, 1);
        // Ours, not the driver's 40 s: proof that the socket was found.
        QCOMPARE(link.idle, 30);
    }
}

void TestServerLink::silentServerTimesOut_data()
{
    QTest::addColumn<QString>("pieces"); // after the stand-in's string
    QTest::addColumn<int>("override"); // the command line's --timeout; -1: none
    QTest::addColumn<int>("seconds");
    QTest::newRow("Command Timeout") << QStringLiteral(";Command Timeout=2") << -1 << 2;
    QTest::newRow("--timeout over the string") << QStringLiteral(";Command Timeout=600") << 1 << 1;
}

void TestServerLink::silentServerTimesOut()
{
    QFETCH(QString, pieces);
    QFETCH(int, override);
    QFETCH(int, seconds);
    if (override >= 0)
        DbConnection::setTimeoutOverride(override);
    DbConnection db;
    db.open(m_server.oleDbString() + pieces);
    QCOMPARE(firstCode(db), QStringLiteral("01"));

    QVERIFY(m_server.pause());
    QElapsedTimer waited;
    waited.start();
    const Failure silent = failureOf([&] { firstCode(db); });
    const qint64 ms = waited.elapsed();
    QCOMPARE(silent.number(), fee::kErrServerSilent);
    QCOMPARE(silent.description(), QStringLiteral("the server has not answered for %1 s").arg(seconds));
    QVERIFY2(ms >= seconds * 1000 && ms < seconds * 1000 + 2000, qPrintable(QString::number(ms)));

    // The link was dropped; once the server goes on, the next statement
    // opens the connection again.
    QVERIFY(m_server.resume());
    QCOMPARE(firstCode(db), QStringLiteral("01"));
}

void TestServerLink::cancelDoesNotWaitForTheServer()
{
    DbConnection db;
    db.open(m_server.oleDbString());
    QCOMPARE(firstCode(db), QStringLiteral("01"));
    QVERIFY(m_server.pause());
    QElapsedTimer waited;
    waited.start();
    Failure cancelled(0, QString());
    {
        threadcheck::Canceller canceller([&] { db.cancel(); }, 300);
        cancelled = failureOf([&] { firstCode(db); });
    }
    QCOMPARE(cancelled.number(), fee::kErrOperationCancelled);
    QVERIFY2(waited.elapsed() < 2300, qPrintable(QString::number(waited.elapsed())));

    QVERIFY(m_server.resume());
    db.resetCancel();
    QCOMPARE(firstCode(db), QStringLiteral("01"));
}

void TestServerLink::cancelEndsASiblingsLogin()
{
    DbConnection db;
    db.open(m_server.oleDbString());
    QVERIFY(m_server.pause());
    QElapsedTimer waited;
    waited.start();
    Failure cancelled(0, QString());
    {
        threadcheck::Canceller canceller([&] { db.cancel(); }, 300);
        cancelled = failureOf([&] { db.openSibling(); });
    }
    QCOMPARE(cancelled.number(), fee::kErrOperationCancelled);
    QVERIFY2(waited.elapsed() < 2300, qPrintable(QString::number(waited.elapsed())));
    QVERIFY(m_server.resume());
}

QTEST_GUILESS_MAIN(TestServerLink)
#include "tst_serverlink.moc"
