#pragma once

// Certificates made for a test with openssl: two authorities and servers'
// certificates signed by the first, as the stand-in's README makes them.

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace fee::testing {

class TestCertificates {
public:
    // Why certificates cannot be made here, "" when they can.
    static QString missingReason()
    {
        return QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty()
            ? QStringLiteral("openssl, which makes the test certificates, is missing")
            : QString();
    }

    // Makes them in `dir`; returns what failed, "" when all are there.
    QString make(const QString& dir)
    {
        m_dir = dir;
        QString error = authority(QStringLiteral("ca-a"));
        if (error.isEmpty())
            error = authority(QStringLiteral("ca-b"));
        if (error.isEmpty())
            error = server(QStringLiteral("localhost"), QStringLiteral("DNS:localhost,IP:127.0.0.1"));
        if (error.isEmpty())
            error = server(QStringLiteral("otherhost"), QStringLiteral("DNS:otherhost"));
        return error;
    }

    QString authorityA() const { return path(QStringLiteral("ca-a.pem")); }
    QString authorityB() const { return path(QStringLiteral("ca-b.pem")); }
    // Signed by authority A, for the host names given to make().
    QString serverCertificate(const QString& host) const { return path(host + QStringLiteral(".pem")); }
    QString serverKey(const QString& host) const { return path(host + QStringLiteral(".key")); }

private:
    QString path(const QString& name) const { return m_dir + QLatin1Char('/') + name; }

    QString run(const QStringList& args) const
    {
        QProcess openssl;
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.start(QStringLiteral("openssl"), args);
        if (!openssl.waitForFinished(60000) || openssl.exitStatus() != QProcess::NormalExit
            || openssl.exitCode() != 0)
            return QStringLiteral("openssl %1: %2").arg(args.join(QLatin1Char(' ')),
                QString::fromLocal8Bit(openssl.readAll()));
        return QString();
    }

    QString authority(const QString& name) const
    {
        return run({ "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-keyout",
            path(name + QStringLiteral(".key")), "-out", path(name + QStringLiteral(".pem")), "-subj",
            QStringLiteral("/CN=fee-reports test ") + name });
    }

    QString server(const QString& host, const QString& names) const
    {
        const QString request = path(host + QStringLiteral(".csr"));
        const QString extensions = path(host + QStringLiteral(".ext"));
        QString error = run({ "req", "-newkey", "rsa:2048", "-nodes", "-keyout", serverKey(host), "-out", request,
            "-subj", QStringLiteral("/CN=") + host });
        if (!error.isEmpty())
            return error;
        QFile ext(extensions);
        if (!ext.open(QIODevice::WriteOnly) || ext.write(("subjectAltName=" + names + "\n").toUtf8()) < 0)
            return QStringLiteral("cannot write ") + extensions;
        ext.close();
        return run({ "x509", "-req", "-in", request, "-CA", authorityA(), "-CAkey", path(QStringLiteral("ca-a.key")),
            "-CAcreateserial", "-days", "2", "-out", serverCertificate(host), "-extfile", extensions });
    }

    QString m_dir;
};

} // namespace fee::testing
