// Encryption asked for in the connection string, through the SQL Server
// stand-in serving TLS with certificates made by the test: the report's
// figures when the link is accepted, the cause named when it is refused, by
// the command-line tool (its exit code and standard error) and by the
// desktop program (its one box, its status bar), never with the password.
#include "../app/apptestsupport.h"
#include "testcertificates.h"

#include "app/loginwindow.h"
#include "app/mainwindow.h"
#include "app/shell.h"
#include "app/statusnotices.h"
#include "cli/demodb/demodb.h"
#include "core/sessioninfo.h"
#include "db/dbconnection.h"
#include "widgets/sessionstatusbar.h"
#include "tests/support/roads.h"

#include <QFile>
#include <QTemporaryDir>

using namespace fee;

namespace {

const QString kPassword = QString::fromLatin1(testing::TdsTestServer::kPassword);

struct Run {
    int exitCode;
    QByteArray out;
    QString err;
};

// A monthly report through the tool, offices side by side (so that every
// connection of a run meets the same link).
Run monthly(const QString& connection)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FEE_REPORT_CONNECTIONS"), QStringLiteral("3"));
    env.insert(QStringLiteral("FEE_CONNECT"), connection);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(FEE_CLI_PATH), { "monthly", "--date", "2026-06-15", "--csv", "-" });
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return { -1, {}, QStringLiteral("did not finish") };
    }
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
        QString::fromUtf8(p.readAllStandardError()) };
}

QString sessionLine(const QString& connection)
{
    const QStringList fields { "1001", "张伟", "0301", "财务部", "P1", "会计", "C", "CN", "PC", "PCN" };
    return fields.join(QStringLiteral("{}")) + QStringLiteral("【】") + connection + QStringLiteral("【】x");
}

// One stand-in and the part of its log written since the last look.
class Server {
public:
    QString start(const QString& db, const QString& dir, const QStringList& tls)
    {
        m_dir = dir;
        QDir().mkpath(dir);
        m_port = m_server.start(db, dir, kPassword, 0, tls);
        return m_port > 0 ? QString() : QStringLiteral("the stand-in did not start in ") + dir;
    }
    void stop() { m_server.stop(); }

    QString string(const QString& pieces) const
    {
        return QStringLiteral("Provider=SQLOLEDB.1;Password=%1;Persist Security Info=False;User ID=sa;"
                              "Initial Catalog='wy';Data Source='127.0.0.1,%2'")
                   .arg(kPassword)
                   .arg(m_port)
            + pieces;
    }

    // What the log says of each connection's encryption since the last call.
    QStringList linksSinceLastLook()
    {
        QFile log(m_dir + QStringLiteral("/server.log"));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        log.seek(m_seen);
        const QStringList lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'));
        m_seen = log.pos();
        QStringList links;
        for (const QString& line : lines) {
            for (const char* kind : { "TLS for the whole connection", "TLS for the login only", "no TLS" }) {
                if (line.contains(QLatin1String(kind)))
                    links << QString::fromLatin1(kind);
            }
        }
        return links;
    }

private:
    testing::TdsTestServer m_server;
    QString m_dir;
    int m_port = 0;
    qint64 m_seen = 0;
};

} // namespace

class TestTlsLink : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void commandLine_data();
    void commandLine();
    void windowRefusalIsOneBox_data();
    void windowRefusalIsOneBox();
    void windowOpensOverACheckedLink();
    void windowSaysTheCertificateIsNotChecked();

private:
    Server& server(const QString& name);

    QTemporaryDir m_dir;
    testing::TestCertificates m_certificates;
    QMap<QString, Server*> m_servers;
    QByteArray m_embedded; // the report on the embedded road
    RecordedBoxes m_boxes;
};

Server& TestTlsLink::server(const QString& name) { return *m_servers.value(name); }

void TestTlsLink::initTestCase()
{
    FEE_REQUIRE_ROAD(testing::TdsTestServer::missingReason());
    FEE_REQUIRE_ROAD(testing::TestCertificates::missingReason());
    QVERIFY(m_dir.isValid());
    initAppResources();
    m_boxes.install();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("settings")));
    installStatusNotices();

    const QString made = m_certificates.make(m_dir.path());
    QVERIFY2(made.isEmpty(), qPrintable(made));
    const QString db = m_dir.filePath(QStringLiteral("fees.db"));
    demo::DemoDbOptions options;
    options.path = db;
    options.offices = 3;
    options.rooms = 6;
    options.plainCollation = true; // the stand-in does not know the embedded collation
    demo::buildDemoDb(options);

    const QStringList localhost { "--tls-cert", m_certificates.serverCertificate(QStringLiteral("localhost")),
        "--tls-key", m_certificates.serverKey(QStringLiteral("localhost")) };
    const QStringList otherhost { "--tls-cert", m_certificates.serverCertificate(QStringLiteral("otherhost")),
        "--tls-key", m_certificates.serverKey(QStringLiteral("otherhost")) };
    const QList<std::pair<QString, QStringList>> servers {
        { QStringLiteral("offers"), localhost + QStringList { "--encryption", "supported" } },
        { QStringLiteral("requires"), localhost + QStringList { "--encryption", "required" } },
        { QStringLiteral("otherhost"), otherhost },
        { QStringLiteral("plain"), {} },
    };
    for (const auto& [name, tls] : servers) {
        auto* s = new Server;
        m_servers.insert(name, s);
        const QString error = s->start(db, m_dir.filePath(name), tls);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    const Run embedded = monthly(QStringLiteral("Provider=SQLite;Data Source=") + db);
    QCOMPARE(embedded.exitCode, 0);
    QVERIFY(embedded.out.contains("合计"));
    m_embedded = embedded.out;
}

void TestTlsLink::cleanupTestCase()
{
    for (Server* s : std::as_const(m_servers)) {
        s->stop();
        delete s;
    }
    m_servers.clear();
}

void TestTlsLink::init()
{
    m_boxes.clear();
    for (Server* s : std::as_const(m_servers))
        s->linksSinceLastLook();
}

void TestTlsLink::cleanup() { Shell::reset(); }

void TestTlsLink::commandLine_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("pieces"); // after the stand-in's string; %A %B: the authorities, %S the server's own
    QTest::addColumn<QString>("error"); // the one message of a refusal; "" when the report runs
    QTest::addColumn<QString>("link"); // what the server says of every connection of a run that runs

    const QString whole = QStringLiteral("TLS for the whole connection");
    const QString untrusted = QStringLiteral("the server's certificate is not trusted: ");
    QTest::newRow("Encrypt=yes, the authority in the file") << "offers" << ";Encrypt=yes;ServerCertificate=%A"
                                                             << QString() << whole;
    QTest::newRow("Use Encryption for Data, the server's own certificate")
        << "offers" << ";Use Encryption for Data=True;ServerCertificate='%S'" << QString() << whole;
    QTest::newRow("a certificate from another authority")
        << "offers" << ";Encrypt=yes;ServerCertificate=%B" << untrusted << QString();
    QTest::newRow("the system's authorities") << "offers"
                                              << ";encrypt=true" << untrusted << QString();
    QTest::newRow("a certificate for another host")
        << "otherhost" << ";Encrypt=yes;ServerCertificate=%A"
        << "the server's certificate does not match the host name 127.0.0.1 (it is for otherhost)" << QString();
    QTest::newRow("HostNameInCertificate") << "otherhost"
                                           << ";Encrypt=yes;ServerCertificate=%A;HostNameInCertificate=otherhost"
                                           << QString() << whole;
    QTest::newRow("TrustServerCertificate") << "offers"
                                            << ";TrustServerCertificate=yes" << QString() << whole;
    QTest::newRow("no keyword, the server requires encryption") << "requires" << QString() << QString() << whole;
    QTest::newRow("no keyword, the server offers it: the login") << "offers" << QString() << QString()
                                                                 << "TLS for the login only";
    QTest::newRow("Encrypt=no, the server requires encryption")
        << "requires" << ";Encrypt=no"
        << "the server requires encryption, but the connection string turns it off (Encrypt=no)" << QString();
    QTest::newRow("Encrypt=yes, the server offers none")
        << "plain" << ";Encrypt=yes"
        << "the server offers no encryption, but the connection string asks for it (Encrypt=yes)" << QString();
    QTest::newRow("a certificate file that is not there")
        << "offers" << ";Encrypt=yes;ServerCertificate=/nonexistent/ca.pem"
        << "the certificate file /nonexistent/ca.pem cannot be read" << QString();
}

void TestTlsLink::commandLine()
{
    QFETCH(QString, server);
    QFETCH(QString, pieces);
    QFETCH(QString, error);
    QFETCH(QString, link);
    pieces.replace(QStringLiteral("%A"), m_certificates.authorityA())
        .replace(QStringLiteral("%B"), m_certificates.authorityB())
        .replace(QStringLiteral("%S"), m_certificates.serverCertificate(QStringLiteral("localhost")));

    const Run run = monthly(this->server(server).string(pieces));
    QVERIFY2(!run.err.contains(kPassword), qPrintable(run.err));
    const QStringList links = this->server(server).linksSinceLastLook();
    if (!error.isEmpty()) {
        QCOMPARE(run.exitCode, 1);
        const QStringList lines = run.err.trimmed().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.front().startsWith(QStringLiteral("monthly: error ")) && lines.front().contains(error),
            qPrintable(run.err));
        return;
    }
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.out, m_embedded);
    QVERIFY(links.size() >= 2);
    QCOMPARE(links, QStringList(links.size(), link));
    // The unchecked certificate is said once, however many connections.
    const bool trusted = pieces.contains(QStringLiteral("TrustServerCertificate"));
    QCOMPARE(int(run.err.count(QStringLiteral("the server's certificate is not checked"))), trusted ? 1 : 0);
}

void TestTlsLink::windowRefusalIsOneBox_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("pieces");
    QTest::addColumn<QString>("cause");
    QTest::newRow("another authority") << "offers" << ";Encrypt=yes;ServerCertificate=%B"
                                       << "the server's certificate is not trusted: ";
    QTest::newRow("encryption turned off") << "requires" << ";Encrypt=no"
                                           << "the server requires encryption, but the connection string turns "
                                              "it off (Encrypt=no)";
}

// The calling program's road: one box naming the cause, then the login window.
void TestTlsLink::windowRefusalIsOneBox()
{
    QFETCH(QString, server);
    QFETCH(QString, pieces);
    QFETCH(QString, cause);
    pieces.replace(QStringLiteral("%B"), m_certificates.authorityB());
    Shell::start(sessionLine(this->server(server).string(pieces)));
    QCOMPARE(m_boxes.boxes.size(), 1);
    const BoxRequest& box = m_boxes.boxes.front();
    QCOMPARE(box.title, QStringLiteral("连接提示"));
    QVERIFY2(box.text.startsWith(QStringLiteral("数据库连接失败!\n错误信息：") + cause), qPrintable(box.text));
    QVERIFY(!box.text.contains(kPassword));
    QCOMPARE(Shell::mainWindow(), nullptr);
    QVERIFY(Shell::loginWindow() && Shell::loginWindow()->isVisible());
}

void TestTlsLink::windowOpensOverACheckedLink()
{
    const QString pieces = QStringLiteral(";Encrypt=yes;ServerCertificate=") + m_certificates.authorityA();
    Shell::start(sessionLine(server(QStringLiteral("offers")).string(pieces)));
    QVERIFY2(m_boxes.boxes.isEmpty(), qPrintable(m_boxes.texts().join(QLatin1Char('\n'))));
    QVERIFY(Shell::mainWindow());
    QVERIFY(DbConnection::shared().isOpen());
    QCOMPARE(server(QStringLiteral("offers")).linksSinceLastLook(),
        QStringList { QStringLiteral("TLS for the whole connection") });
}

void TestTlsLink::windowSaysTheCertificateIsNotChecked()
{
    Shell::start(sessionLine(server(QStringLiteral("offers")).string(QStringLiteral(";Trust Server Certificate=True"))));
    QVERIFY(Shell::mainWindow());
    QCoreApplication::processEvents();
    // Said at start-up, before any report window: the first status bar shows it.
    SessionStatusBar bar(SessionStatusBar::standardPanels());
    bar.show();
    QCoreApplication::processEvents();
    QVERIFY2(bar.currentMessage().contains(QStringLiteral("the server's certificate is not checked (Trust Server "
                                                          "Certificate=True)")),
        qPrintable(bar.currentMessage()));
    QVERIFY(!bar.currentMessage().contains(kPassword));
}

QTEST_MAIN(TestTlsLink)
#include "tst_tlslink.moc"
