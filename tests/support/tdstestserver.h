#pragma once

// Starts the SQL Server stand-in (tools/tds-test-server) on a SQLite file for
// the tests that take the whole ODBC road: QODBC, unixODBC, FreeTDS, TCP.

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>
#include <signal.h>

namespace fee::testing {

// Whether a road that cannot be tested fails the run instead of skipping
// (tests/support/roads.h).
inline bool roadsRequired()
{
    return qEnvironmentVariable("CI") == QLatin1String("true") || qEnvironmentVariableIntValue("FEE_REQUIRE_ROADS") == 1;
}

class TdsTestServer {
public:
    static constexpr const char* kUser = "sa";
    static constexpr const char* kPassword = "Fee-Reports-42";

    ~TdsTestServer() { stop(); }

    // Why the road cannot be tested here, or "" when it can.
    static QString missingReason()
    {
        if (!QFile::exists(script()))
            return QStringLiteral("the SQL Server stand-in is missing: %1 (the shared tools beside the project, "
                                  "cmake -DFEE_SHARED_DIR=...)")
                .arg(script());
        if (!QFile::exists(QStringLiteral("/usr/bin/python3")))
            return QStringLiteral("python3, which runs the SQL Server stand-in, is missing");
        if (!QFile::exists(QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so")))
            return QStringLiteral("the FreeTDS ODBC driver (tdsodbc) is missing");
        return QString();
    }

    // Serves db (a SQLite file without the embedded collation); the port file
    // and the log go to workDir (appended). A port of 0 picks a free one; a
    // server stopped with stop() or kill() comes back on its old port with
    // start(db, workDir, password, port()). `extra` goes to the server's
    // command line last (--latency-ms N, a longer --max-seconds). Returns the
    // port, 0 when the server did not come up.
    int start(const QString& db, const QString& workDir, const QString& password = QString::fromLatin1(kPassword),
        int port = 0, const QStringList& extra = {})
    {
        m_port = 0;
        const QString portFile = workDir + QStringLiteral("/port");
        QFile::remove(portFile);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"),
            QStringList { script(), QStringLiteral("--db"), db, QStringLiteral("--port"), QString::number(port),
                QStringLiteral("--port-file"), portFile, QStringLiteral("--user"), QString::fromLatin1(kUser),
                QStringLiteral("--password"), password, QStringLiteral("--max-seconds"), QStringLiteral("600"),
                QStringLiteral("-v"), QStringLiteral("--log"), workDir + QStringLiteral("/server.log") }
                + extra);
        if (!m_process.waitForStarted())
            return 0;
        QDeadlineTimer deadline(20000);
        while (m_port == 0 && !deadline.hasExpired() && m_process.state() == QProcess::Running) {
            QFile f(portFile);
            if (f.open(QIODevice::ReadOnly))
                m_port = f.readAll().trimmed().toInt();
            if (m_port == 0)
                QThread::msleep(50);
        }
        return m_port;
    }

    int port() const { return m_port; }

    // Freezes the server with its links open (SIGSTOP), as a server that
    // stops answering; resume() lets it go on.
    bool pause() { return signal(SIGSTOP); }
    bool resume() { return signal(SIGCONT); }

    // The stored settings' connection string for this server.
    QString oleDbString(const QString& password = QString::fromLatin1(kPassword)) const
    {
        return QStringLiteral("Provider=SQLOLEDB.1;Password=%1;Persist Security Info=False;User ID=%2;"
                              "Initial Catalog='wy';Data Source='127.0.0.1,%3'")
            .arg(password, QString::fromLatin1(kUser))
            .arg(m_port);
    }

    // Stops the server at once, as a crash would: its connections drop in
    // the middle of whatever they do.
    void kill()
    {
        resume();
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    void stop()
    {
        resume();
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
        }
    }

private:
    bool signal(int number)
    {
        const qint64 pid = m_process.processId();
        return m_process.state() == QProcess::Running && pid > 0 && ::kill(pid_t(pid), number) == 0;
    }

    static QString script() { return QStringLiteral(FEE_SHARED_DIR "/tools/tds-test-server/tds_test_server.py"); }

    QProcess m_process;
    int m_port = 0;
};

} // namespace fee::testing
