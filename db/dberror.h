#pragma once

#include "core/failure.h"

#include <QSqlError>

namespace fee {

// Failures of the link to the server that the program names itself (the
// driver would only say that something failed).
constexpr int kErrServerSilent = -2147217871; // the provider's "timeout expired": no answer in time
constexpr int kErrLinkRefused = -2146893019; // encryption or the server's certificate refused the link
constexpr int kErrShortBatch = -2147217900; // the provider's "command failed": a batch ended early

// A database failure as the error boxes show it: the server's own number when
// the driver gives one, and the database's text.
Failure failureOf(const QSqlError& error);

} // namespace fee
