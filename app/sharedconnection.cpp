#include "app/sharedconnection.h"

#include "core/messages.h"
#include "db/dbconnection.h"
#include "db/dberror.h"

namespace fee {

bool OpenSharedConnection(const QString& connectionString, bool* refused)
{
    if (refused)
        *refused = false;
    // Every attempt replaces the shared connection, even one that fails to open.
    auto connection = std::make_unique<DbConnection>();
    DbConnection* fresh = connection.get();
    DbConnection::setShared(std::move(connection));
    try {
        fresh->open(connectionString);
        return true;
    } catch (const Failure& failure) {
        // A link refused for its security says why in one box: the
        // connection failed, and the cause (the certificate, encryption).
        if (failure.number() == kErrLinkRefused && refused) {
            *refused = true;
            msgBox(QStringLiteral("数据库连接失败!\n") + errInfoText(failure.description()), QStringLiteral("连接提示"));
            return false;
        }
        ErrInfoBox(failure.description());
        return false;
    }
}

} // namespace fee
