#include "db/dberror.h"

namespace fee {

Failure failureOf(const QSqlError& error)
{
    bool ok = false;
    const int native = error.nativeErrorCode().trimmed().toInt(&ok);
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Unspecified error");
    // Drivers report 0 when the failure has no number of the server's.
    return Failure(ok && native != 0 ? native : kErrConnection, text);
}

} // namespace fee
