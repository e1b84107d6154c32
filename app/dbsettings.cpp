#include "app/dbsettings.h"

#include "db/connectionstring.h"

#include <QSettings>

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

DbSettings readStoredDbSettings()
{
    // On Windows this is HKEY_CURRENT_USER\Software\VB and VBA Program
    // Settings\物业管理QLX2011\DBConfig, where the sites' settings have always
    // been kept.
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QString::fromUtf8(kSettingsOrganization),
        QString::fromUtf8(kSettingsApplication));
    return readDbSettings(store);
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
