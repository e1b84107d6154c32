#include "app/dbsettings.h"

#include "db/connectionstring.h"

#include <QDir>
#include <QSettings>

#include <memory>

namespace fee {

namespace {
    ConnectionStringSource& source()
    {
        static ConnectionStringSource s;
        return s;
    }
} // namespace

namespace {
    // A settings file written by hand reads "Svr=db1,1444" as a list of two
    // texts; the value meant is the whole line.
    QString storedText(QSettings& store, const QString& key)
    {
        const QVariant value = store.value(key);
        if (value.typeId() == QMetaType::QStringList)
            return value.toStringList().join(QLatin1Char(','));
        return value.toString();
    }
} // namespace

DbSettings readDbSettings(QSettings& store)
{
    store.beginGroup(QString::fromUtf8(kSettingsGroup));
    DbSettings s;
    s.svr = storedText(store, QStringLiteral("Svr"));
    s.uid = storedText(store, QStringLiteral("UID"));
    s.pwd = storedText(store, QStringLiteral("PWD"));
    s.dbName = storedText(store, QStringLiteral("DBname"));
    store.endGroup();
    return s;
}

namespace {
    // On Windows this is HKEY_CURRENT_USER\Software\VB and VBA Program
    // Settings\物业管理QLX2011\DBConfig, where the sites' settings have always
    // been kept.
    std::unique_ptr<QSettings> userStore()
    {
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
            QString::fromUtf8(kSettingsOrganization), QString::fromUtf8(kSettingsApplication));
    }
} // namespace

DbSettings readStoredDbSettings() { return readDbSettings(*userStore()); }

QString storedSettingsLocation() { return QDir::toNativeSeparators(userStore()->fileName()); }

QString missingSettingsNotice()
{
    if (source() || !readStoredDbSettings().svr.trimmed().isEmpty())
        return QString();
    return QStringLiteral("未设置数据库：请在 %1 的 [%2] 中写入 Svr、UID、PWD、DBname")
        .arg(storedSettingsLocation(), QString::fromUtf8(kSettingsGroup));
}

QString settingsConnectionString()
{
    if (source())
        return source()();
    const DbSettings s = readStoredDbSettings();
    return connectionStringFromSettings(s.svr, s.uid, s.pwd, s.dbName);
}

void setSettingsConnectionSource(ConnectionStringSource s) { source() = std::move(s); }

} // namespace fee
