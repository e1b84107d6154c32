#include "db/freetdsconfig.h"

#include "db/connectionstring.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QTemporaryDir>
#include <mutex>

namespace fee {

namespace {

    struct ConfigFile {
        std::mutex mutex;
        std::unique_ptr<QTemporaryDir> folder; // removed with the process's statics
        QByteArray base; // what the environment's file held
        QByteArray sections;
        QHash<QByteArray, QString> names; // section body -> name
    };

    ConfigFile& configFile()
    {
        static ConfigFile file;
        return file;
    }

    Failure unwritable(const QString& why)
    {
        return Failure(kErrFile, QStringLiteral("The driver's configuration cannot be written: ") + why);
    }

} // namespace

QString freeTdsSection(const ConnectionTarget& target, bool checkHostName)
{
    QByteArray body;
    body += "\thost = " + target.host.toUtf8() + '\n';
    if (!target.instance.isEmpty())
        body += "\tinstance = " + target.instance.toUtf8() + '\n';
    else
        body += "\tport = " + QByteArray::number(target.port) + '\n';
    body += "\ttds version = 7.3\n";
    body += "\tencryption = require\n";
    body += "\tca file = "
        + (target.certificateFile.isEmpty() ? QByteArray("system") : QFile::encodeName(target.certificateFile)) + '\n';
    body += QByteArray("\tcheck certificate hostname = ") + (checkHostName ? "yes" : "no") + '\n';

    ConfigFile& file = configFile();
    std::lock_guard lock(file.mutex);
    if (const auto known = file.names.constFind(body); known != file.names.constEnd())
        return *known;
    const bool first = !file.folder;
    if (first) {
        file.folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/fee-reports-freetds-XXXXXX"));
        if (!file.folder->isValid()) {
            const QString why = file.folder->errorString();
            file.folder.reset();
            throw unwritable(why);
        }
        const QString previous = qEnvironmentVariable("FREETDSCONF");
        QFile existing(previous);
        if (!previous.isEmpty() && existing.open(QIODevice::ReadOnly))
            file.base = existing.readAll() + '\n';
    }
    const QString name = QStringLiteral("fee-reports-%1").arg(file.names.size() + 1);
    const QByteArray sections = file.sections + '[' + name.toUtf8() + "]\n" + body;
    const QString path = file.folder->filePath(QStringLiteral("freetds.conf"));
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file.base + sections) < 0 || !out.commit())
        throw unwritable(out.errorString());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    file.sections = sections;
    file.names.insert(body, name);
    // FreeTDS reads the file at every connect; the variable is set once, so
    // no other thread's connect meets it changing.
    if (first)
        qputenv("FREETDSCONF", QFile::encodeName(path));
    return name;
}

} // namespace fee
