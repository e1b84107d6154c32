#include "app/sharedconnection.h"

#include "core/messages.h"
#include "db/dbconnection.h"

namespace fee {

bool OpenSharedConnection(const QString& connectionString)
{
    // Every attempt replaces the shared connection, even one that fails to open.
    auto connection = std::make_unique<DbConnection>();
    DbConnection* fresh = connection.get();
    DbConnection::setShared(std::move(connection));
    try {
        fresh->open(connectionString);
        return true;
    } catch (const Failure& failure) {
        ErrInfoBox(failure.description());
        return false;
    }
}

} // namespace fee
