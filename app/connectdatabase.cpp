#include "app/connectdatabase.h"

#include "app/dbsettings.h"
#include "common/messages.h"
#include "common/sharedconnection.h"

namespace fee {

bool ConnectDatabase(const QString& connectionString)
{
    DbConnectionString() = connectionString.isEmpty() ? settingsConnectionString() : connectionString;
    if (!OpenSharedConnection()) {
        msgBox(QStringLiteral("数据库连接失败!"), QStringLiteral("连接提示"));
        return false;
    }
    return true;
}

} // namespace fee
