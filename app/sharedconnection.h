#pragma once

#include <QString>

namespace fee {

// Replaces the shared connection with a new one opened from the given text.
// On failure shows ErrInfoBox with the driver's description and returns
// false. The text stays readable as DbConnection::shared().connectionString().
bool OpenSharedConnection(const QString& connectionString);

} // namespace fee
