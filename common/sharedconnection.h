#pragma once

#include <QString>

namespace fee {

// The text the shared connection is opened from.
QString& DbConnectionString();

// Replaces the shared connection with a new one opened from
// DbConnectionString(). On failure shows ErrInfoBox with the driver's
// description and returns false.
bool OpenSharedConnection();

} // namespace fee
