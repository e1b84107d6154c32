#pragma once

#include <QString>

namespace fee {

// Opens the shared connection from the given text or, when it is empty, from
// the stored settings. On failure the driver's description has been shown and
// "数据库连接失败!" follows (a link refused for its security: one box with
// both); returns false.
bool ConnectDatabase(const QString& connectionString);

} // namespace fee
