#pragma once

#include "core/failure.h"

#include <QSqlError>

namespace fee {

// A database failure as the error boxes show it: the server's own number when
// the driver gives one, and the database's text.
Failure failureOf(const QSqlError& error);

} // namespace fee
