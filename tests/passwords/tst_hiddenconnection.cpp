// The connection string's password stays out of sight of other local users:
// both programs wipe it from their command line while they run, and the
// command-line tool takes it from a private file or the environment instead.
#include "cli/demodb/demodb.h"
#include "tests/support/clirun.h"
#include "tests/support/filebytes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kPassword = QStringLiteral("Qz7-Sekrit-94Kx");

// A listening socket on 127.0.0.1 that never answers: a program connecting
// to it has read its arguments and then waits in its login.
class SilentServer {
public:
    SilentServer() { listenOn(0); }

    // On the first free port from `first` up to (not including) `last`;
    // *offset: how far from `first` it is, -1 when none was free.
    SilentServer(int first, int last, int* offset)
    {
        *offset = -1;
        for (int port = first; port < last && m_port == 0; ++port) {
            if (listenOn(port))
                *offset = port - first;
        }
    }

    bool listenOn(int port)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(quint16(port));
        socklen_t length = sizeof address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(m_fd, 8) != 0
            || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return false;
        m_port = ntohs(address.sin_port);
        return true;
    }
    ~SilentServer()
    {
        for (int fd : m_accepted)
            ::close(fd);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int port() const { return m_port; }

    // True once a client has connected (within the time given).
    bool waitForClient(int timeoutMs)
    {
        pollfd waiting { m_fd, POLLIN, 0 };
        if (::poll(&waiting, 1, timeoutMs) != 1)
            return false;
        const int fd = ::accept(m_fd, nullptr, nullptr);
        if (fd < 0)
            return false;
        m_accepted << fd;
        return true;
    }

private:
    int m_fd = -1;
    int m_port = 0;
    QList<int> m_accepted;
};

QByteArray commandLineOf(qint64 pid) { return fee::testing::fileBytes(QStringLiteral("/proc/%1/cmdline").arg(pid)); }

QString sessionLine(const QString& connection)
{
    const QStringList fields { "1001", "张 伟", "0301", "财务部", "P1", "会计", "C", "CN", "PC", "PCN" };
    return fields.join(QStringLiteral("{}")) + QStringLiteral("【】") + connection + QStringLiteral("【】x");
}

} // namespace

class TestHiddenConnection : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_db;
    QByteArray m_reference; // the CSV the report gives with --connect

    QString embedded() const
    {
        return QStringLiteral("Provider=SQLite;Data Source=%1;Password=%2").arg(m_db, kPassword);
    }

    QString writeFile(const QString& name, const QByteArray& content, QFile::Permissions permissions)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
            return QString();
        file.close();
        return file.setPermissions(permissions) ? path : QString();
    }

    static fee::testing::CliResult runWithEnvironment(const QStringList& args, const QString& environment)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("FEE_CONNECT"));
        if (!environment.isNull())
            env.insert(QStringLiteral("FEE_CONNECT"), environment);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(FEE_CLI_PATH), args);
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return { -1, {}, QStringLiteral("did not finish") };
        }
        return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError()) };
    }

    static QStringList monthly(const QStringList& more)
    {
        return QStringList { "monthly", "--date", "2026-06-15" } + more;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("fees.db"));
        fee::demo::DemoDbOptions options;
        options.path = m_db;
        options.offices = 2;
        options.rooms = 6;
        fee::demo::buildDemoDb(options);
        const fee::testing::CliResult reference = fee::testing::runCli(monthly({ "--connect", embedded() }));
        QCOMPARE(reference.exitCode, 0);
        QVERIFY(reference.out.contains("合计"));
        m_reference = reference.out;
    }

    // The desktop program wipes its argument before Qt's application object
    // is made: while that waits on a display that never answers (the X
    // server's port accepts, nothing more), the command line already shows
    // no password.
    void desktopWipesBeforeItsApplicationIsMade()
    {
        int display = -1;
        SilentServer x11(6000, 6100, &display);
        QVERIFY2(display >= 0, "no X11 port free");
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral("127.0.0.1:%1").arg(display));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(FEE_APP_PATH), { sessionLine(embedded()) });
        QVERIFY(program.waitForStarted());
        const bool reached = x11.waitForClient(30000);
        const QByteArray line = commandLineOf(program.processId());
        const bool stillWaiting = program.state() == QProcess::Running;
        program.kill();
        program.waitForFinished();
        QVERIFY2(reached, "the program never reached its display");
        QVERIFY(stillWaiting);
        QVERIFY2(!line.contains("Sekrit"), QByteArray(line).replace('\0', ' ').constData());
        QVERIFY(!line.contains("Provider=SQLite"));
    }

    // Each program, started with the password on its command line, no longer
    // shows it there once it has reached its connection.
    void commandLineWhileRunning_data()
    {
        QTest::addColumn<bool>("desktop");
        QTest::addColumn<QStringList>("args"); // %1: the connection string
        QTest::addColumn<QStringList>("stillShown");
        QTest::newRow("tool, --connect CONN")
            << false << monthly({ "--connect", "%1" }) << QStringList { "monthly", "--connect", "2026-06-15" };
        QTest::newRow("tool, --connect=CONN")
            << false << monthly({ "--connect=%1", "--csv", "-" }) << QStringList { "--connect=xxx", "--csv" };
        QTest::newRow("tool, -connect CONN")
            << false
            << QStringList { "daily", "-connect", "%1", "--office", "01", "--from", "2026-01-01", "--to", "2026-01-31" }
            << QStringList { "daily", "-connect", "--office" };
        QTest::newRow("desktop, one argument") << true << QStringList { sessionLine("%1") } << QStringList {};
        // A line a shell split at its blanks is joined back; every piece goes.
        QTest::newRow("desktop, split by a shell")
            << true << sessionLine("%1").split(QLatin1Char(' ')) << QStringList {};
    }

    void commandLineWhileRunning()
    {
        QFETCH(bool, desktop);
        QFETCH(QStringList, args);
        QFETCH(QStringList, stillShown);
        SilentServer server;
        QVERIFY(server.port() > 0);
        const QString connection = QStringLiteral("Provider=SQLOLEDB.1;Password=%1;Persist Security Info=False;"
                                                  "User ID=sa;Initial Catalog='wy';Data Source='127.0.0.1,%2'")
                                       .arg(kPassword)
                                       .arg(server.port());
        for (QString& arg : args)
            arg.replace(QStringLiteral("%1"), connection);

        QProcess program;
        const QString path = desktop ? QStringLiteral(FEE_APP_PATH) : QStringLiteral(FEE_CLI_PATH);
        program.start(path, args);
        QVERIFY(program.waitForStarted());
        const bool reached = server.waitForClient(30000);
        const QByteArray line = commandLineOf(program.processId());
        program.kill();
        program.waitForFinished();
        QVERIFY2(reached, "the program never connected");

        QVERIFY2(line.startsWith(path.toUtf8() + '\0'), line.constData());
        QVERIFY2(!line.contains(kPassword.toUtf8()), QByteArray(line).replace('\0', ' ').constData());
        QVERIFY(!line.contains("Sekrit"));
        QVERIFY(!line.contains("127.0.0.1"));
        for (const QString& shown : stillShown)
            QVERIFY2(line.contains(shown.toUtf8()), qPrintable(shown));
    }

    void connectFileModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("0600 runs") << 0600 << 0;
        QTest::newRow("0400 runs") << 0400 << 0;
        QTest::newRow("0700 runs") << 0700 << 0;
        QTest::newRow("0640 group reads: refused") << 0640 << 2;
        QTest::newRow("0604 others read: refused") << 0604 << 2;
        QTest::newRow("0644 refused") << 0644 << 2;
    }

    void connectFileModes()
    {
        QFETCH(int, mode);
        QFETCH(int, exitCode);
        const QString path = m_dir.filePath(QStringLiteral("connection"));
        QFile::remove(path);
        QVERIFY(!writeFile(QStringLiteral("connection"), embedded().toUtf8() + '\n', QFile::WriteOwner).isEmpty());
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);

        const fee::testing::CliResult result = runWithEnvironment(monthly({ "--connect-file", path }), QString());
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY(!result.err.contains(QStringLiteral("Sekrit")));
        if (exitCode == 0) {
            QCOMPARE(result.out, m_reference);
            return;
        }
        QVERIFY(result.out.isEmpty());
        QVERIFY2(result.err.contains(path + QStringLiteral(" can be read by other users (mode 0%1)").arg(mode, 0, 8)),
            qPrintable(result.err));
        QVERIFY2(result.err.contains(QStringLiteral("chmod 600")), qPrintable(result.err));
    }

    // Which of --connect, --connect-file and FEE_CONNECT is taken, and what
    // is refused (exit 2, nothing run).
    void connectionSources_data()
    {
        QTest::addColumn<QStringList>("args"); // %file: the private file, %conn: the string, %bad: a missing database
        QTest::addColumn<QString>("environment"); // FEE_CONNECT; null: not set
        QTest::addColumn<QByteArray>("fileContent");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QByteArray good = "%conn\n";
        QTest::newRow("FEE_CONNECT") << QStringList {} << "%conn" << good << 0 << QString();
        QTest::newRow("--connect before FEE_CONNECT")
            << QStringList { "--connect", "%conn" } << "%bad" << good << 0 << QString();
        QTest::newRow("--connect-file before FEE_CONNECT")
            << QStringList { "--connect-file", "%file" } << "%bad" << good << 0 << QString();
        QTest::newRow("file with a Windows line end")
            << QStringList { "--connect-file", "%file" } << QString() << QByteArray("%conn\r\n") << 0 << QString();
        QTest::newRow("file without a line end")
            << QStringList { "--connect-file", "%file" } << QString() << QByteArray("%conn") << 0 << QString();
        QTest::newRow("both options") << QStringList { "--connect", "%conn", "--connect-file", "%file" } << QString()
                                      << good << 2 << "either --connect or --connect-file, not both";
        QTest::newRow("none") << QStringList {} << QString() << good << 2
                              << "--connect, --connect-file or the environment variable FEE_CONNECT is required";
        QTest::newRow("empty FEE_CONNECT") << QStringList {} << "" << good << 2 << "FEE_CONNECT is required";
        QTest::newRow("missing file") << QStringList { "--connect-file", "%file.missing" } << "%conn" << good << 2
                                      << "No such file or directory";
        QTest::newRow("two lines") << QStringList { "--connect-file", "%file" } << QString()
                                   << QByteArray("%conn\n%conn\n") << 2 << "on one line";
        QTest::newRow("empty file") << QStringList { "--connect-file", "%file" } << QString() << QByteArray("\n") << 2
                                    << "holds no connection string";
        QTest::newRow("directory") << QStringList { "--connect-file", "%dir" } << QString() << good << 2
                                   << "is not a regular file";
    }

    void connectionSources()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, environment);
        QFETCH(QByteArray, fileContent);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QString bad
            = QStringLiteral("Provider=SQLite;Data Source=%1;Password=%2").arg(m_dir.filePath("none.db"), kPassword);
        fileContent.replace("%conn", embedded().toUtf8());
        const QString file = writeFile(QStringLiteral("source"), fileContent, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(!file.isEmpty());
        const QString privateDir = m_dir.filePath(QStringLiteral("private"));
        QDir().mkpath(privateDir);
        QFile::setPermissions(privateDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (QString& arg : args) {
            arg.replace(QStringLiteral("%conn"), embedded());
            arg.replace(QStringLiteral("%file"), file);
            arg.replace(QStringLiteral("%dir"), privateDir);
        }
        environment.replace(QStringLiteral("%conn"), embedded());
        environment.replace(QStringLiteral("%bad"), bad);

        const fee::testing::CliResult result = runWithEnvironment(monthly(args), environment);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(!result.err.contains(QStringLiteral("Sekrit")), qPrintable(result.err));
        if (exitCode == 0) {
            QCOMPARE(result.out, m_reference);
        } else {
            QVERIFY(result.out.isEmpty());
            QVERIFY2(result.err.contains(message), qPrintable(result.err));
        }
    }
};

QTEST_MAIN(TestHiddenConnection)
#include "tst_hiddenconnection.moc"
