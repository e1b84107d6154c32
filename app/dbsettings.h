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

// Where the user's store keeps them: on Linux the file
// ~/.config/VB and VBA Program Settings/物业管理QLX2011.conf, on Windows the
// registry key of the same names.
QString storedSettingsLocation();

// The one-line notice of a first start: empty while the store names a server
// (or a test has put another source in place), otherwise the store's location
// and the keys to write there.
QString missingSettingsNotice();

// The connection string of the login road: built from the stored settings,
// unless a test has put another source in place.
QString settingsConnectionString();
using ConnectionStringSource = std::function<QString()>;
void setSettingsConnectionSource(ConnectionStringSource source); // empty: back to the settings

} // namespace fee
