#include "cli/connectoption.h"

#include "cli/commandparser.h"
#include "core/argumentwipe.h"
#include "db/connectionsecrets.h"
#include "db/dbconnection.h"

#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fee::cli {

namespace {

    // Far above any connection string; a bigger file is not one.
    constexpr qint64 kMaxFileSize = 64 * 1024;

    // The file's text, or the reason it is refused. The mode is checked on
    // the opened file itself, so a file swapped in between cannot slip past.
    bool readPrivateFile(const QString& path, QString& text, QString& refusal)
    {
        const QByteArray name = QFile::encodeName(path);
        const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            refusal = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        struct stat info { };
        QByteArray bytes;
        bool ok = ::fstat(fd, &info) == 0;
        if (!ok) {
            refusal = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        } else if (!S_ISREG(info.st_mode)) {
            refusal = QStringLiteral("%1 is not a regular file").arg(path);
            ok = false;
        } else if (info.st_mode & (S_IRGRP | S_IROTH)) {
            refusal = QStringLiteral("%1 can be read by other users (mode %2); it holds a password: "
                                     "let only its owner read it (chmod 600 %1)")
                          .arg(path)
                          .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
            ok = false;
        } else if (info.st_size > kMaxFileSize) {
            refusal = QStringLiteral("%1 is too big to hold a connection string").arg(path);
            ok = false;
        } else {
            char buffer[4096];
            for (;;) {
                const ssize_t got = ::read(fd, buffer, sizeof buffer);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got < 0) {
                    refusal
                        = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
                    ok = false;
                    break;
                }
                if (got == 0)
                    break;
                bytes.append(buffer, got);
                if (bytes.size() > kMaxFileSize) {
                    refusal = QStringLiteral("%1 is too big to hold a connection string").arg(path);
                    ok = false;
                    break;
                }
            }
        }
        ::close(fd);
        if (!ok)
            return false;

        text = QString::fromUtf8(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        // An editor's line end after the string is not part of it.
        while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
            text.chop(1);
        if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
            refusal = QStringLiteral("%1 must hold the connection string on one line").arg(path);
            return false;
        }
        if (text.trimmed().isEmpty()) {
            refusal = QStringLiteral("%1 holds no connection string").arg(path);
            return false;
        }
        return true;
    }

} // namespace

ConnectOption::ConnectOption()
    : m_connect(QStringLiteral("connect"),
        QStringLiteral("Connection string (other users of the machine can see it while the command runs: "
                       "prefer --connect-file or FEE_CONNECT)."),
        QStringLiteral("CONN"))
    , m_connectFile(QStringLiteral("connect-file"),
          QStringLiteral("File holding the connection string on one line; only its owner may read it (chmod 600). "
                         "Without either option the environment variable FEE_CONNECT is used."),
          QStringLiteral("FILE"))
    , m_timeout(QStringLiteral("timeout"),
          QStringLiteral("Seconds a request to SQL Server may go unanswered before the run ends with an error "
                         "(default: the connection string's Command Timeout, else 60; 0 waits for ever)."),
          QStringLiteral("SECONDS"))
{
}

void ConnectOption::addTo(CommandParser& parser) const
{
    parser.addOption(m_connect);
    parser.addOption(m_connectFile);
    parser.addOption(m_timeout);
}

std::optional<int> ConnectOption::read(const CommandParser& parser, QString& connectionString) const
{
    const bool given = parser.isSet(m_connect);
    const bool fromFile = parser.isSet(m_connectFile);
    if (given && fromFile)
        return parser.usageError(QStringLiteral("give either --connect or --connect-file, not both"));
    if (given) {
        connectionString = parser.value(m_connect);
        if (connectionString.isEmpty())
            return parser.usageError(QStringLiteral("--connect needs a connection string"));
    } else if (fromFile) {
        const QString path = parser.value(m_connectFile);
        if (path.isEmpty())
            return parser.usageError(QStringLiteral("--connect-file needs a file name"));
        QString refusal;
        if (!readPrivateFile(path, connectionString, refusal))
            return parser.usageError(QStringLiteral("--connect-file ") + refusal);
    } else {
        connectionString = qEnvironmentVariable(kEnvironmentVariable);
        if (connectionString.isEmpty())
            return parser.usageError(
                QStringLiteral("--connect, --connect-file or the environment variable %1 is required")
                    .arg(QString::fromLatin1(kEnvironmentVariable)));
    }
    rememberConnectionSecrets(connectionString);
    if (parser.isSet(m_timeout)) {
        static const QRegularExpression kSeconds(QStringLiteral("^[0-9]{1,6}$"));
        const QString seconds = parser.value(m_timeout);
        if (!kSeconds.match(seconds).hasMatch())
            return parser.usageError(QStringLiteral("--timeout needs a number of seconds, not \"%1\"").arg(seconds));
        DbConnection::setTimeoutOverride(seconds.toInt());
    }
    return std::nullopt;
}

void wipeConnectArguments(int argc, char** argv)
{
    // The option forms the parser takes: "--connect V", "--connect=V", and
    // the same with one dash; "--" ends the options.
    static const char* const kNames[] = { "--connect", "-connect" };
    for (int i = 1; i < argc; ++i) {
        char* argument = argv[i];
        if (std::strcmp(argument, "--") == 0)
            return;
        for (const char* name : kNames) {
            const size_t length = std::strlen(name);
            if (std::strcmp(argument, name) == 0 && i + 1 < argc) {
                wipeArgument(argv[++i]);
                break;
            }
            if (std::strncmp(argument, name, length) == 0 && argument[length] == '=') {
                wipeArgument(argument + length + 1);
                break;
            }
        }
    }
}

} // namespace fee::cli
