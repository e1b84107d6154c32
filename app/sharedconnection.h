#pragma once

#include <QString>

namespace fee {

// Replaces the shared connection with a new one opened from the given text.
// On failure shows ErrInfoBox with the driver's description and returns
// false. The text stays readable as DbConnection::shared().connectionString().
// With `refused`: a link refused for its security (the server's certificate,
// encryption) is said in one box of its own instead, "数据库连接失败!" and
// the cause, and *refused is set.
bool OpenSharedConnection(const QString& connectionString, bool* refused = nullptr);

} // namespace fee
