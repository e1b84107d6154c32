#pragma once

#include <QString>

namespace fee {

// Opens the shared connection from the given text or, when it is empty, from
// the stored settings. On failure the driver's description has been shown and
// "数据库连接失败!" follows; returns false.
bool ConnectDatabase(const QString& connectionString);

} // namespace fee
