#pragma once

#include <QString>
#include <QStringList>

namespace fee {

// The password of a connection string, as written (quotes or braces
// included) and as meant (quotes undone), for every "Password=" or "PWD="
// piece of an OLE DB or ODBC string. Never throws: a string the connection
// would refuse (an unclosed quote) still gives up what follows the key.
QStringList connectionSecrets(const QString& connectionString);

// Remembers them for masking (core/secretmask.h).
void rememberConnectionSecrets(const QString& connectionString);

} // namespace fee
