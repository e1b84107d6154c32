#pragma once

#include <QString>
#include <functional>

class QSettings;

namespace fee {

// The database settings kept in the per-user settings store. They are only
// read; whoever configures a site writes them.
struct DbSettings {
    QString svr;
    QString uid;
    QString pwd;
    QString dbName;
};

inline const char* const kSettingsOrganization = "VB and VBA Program Settings";
inline const char* const kSettingsApplication = "物业管理QLX2011";
inline const char* const kSettingsGroup = "DBConfig";

// Reads "Svr", "UID", "PWD" and "DBname" of group "DBConfig"; a missing key
// reads as "".
DbSettings readDbSettings(QSettings& store);

// The same from the user's native store of the application.
DbSettings readStoredDbSettings();

// The connection string of the login road: built from the stored settings,
// unless a test has put another source in place.
QString settingsConnectionString();
using ConnectionStringSource = std::function<QString()>;
void setSettingsConnectionSource(ConnectionStringSource source); // empty: back to the settings

} // namespace fee
