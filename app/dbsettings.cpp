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

DbSettings readDbSettings(QSettings& store)
{
    store.beginGroup(QString::fromUtf8(kSettingsGroup));
    DbSettings s;
    s.svr = store.value(QStringLiteral("Svr")).toString();
    s.uid = store.value(QStringLiteral("UID")).toString();
    s.pwd = store.value(QStringLiteral("PWD")).toString();
    s.dbName = store.value(QStringLiteral("DBname")).toString();
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
