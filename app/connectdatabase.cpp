#include "app/connectdatabase.h"

#include "app/dbsettings.h"
#include "core/messages.h"
#include "app/sharedconnection.h"

namespace fee {

bool ConnectDatabase(const QString& connectionString)
{
    const QString text = connectionString.isEmpty() ? settingsConnectionString() : connectionString;
    bool refused = false;
    if (!OpenSharedConnection(text, &refused)) {
        if (!refused)
            msgBox(QStringLiteral("数据库连接失败!"), QStringLiteral("连接提示"));
        return false;
    }
    return true;
}

} // namespace fee
