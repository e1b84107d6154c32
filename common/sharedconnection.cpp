#include "common/sharedconnection.h"

#include "common/messages.h"
#include "db/dbconnection.h"

namespace fee {

QString& DbConnectionString()
{
    static QString text;
    return text;
}

bool OpenSharedConnection()
{
    // Every attempt replaces the shared connection, even one that fails to open.
    auto connection = std::make_unique<DbConnection>();
    DbConnection* fresh = connection.get();
    DbConnection::setShared(std::move(connection));
    try {
        fresh->open(DbConnectionString());
        return true;
    } catch (const Failure& failure) {
        ErrInfoBox(failure.description());
        return false;
    }
}

} // namespace fee
