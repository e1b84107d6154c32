#include "app/appversion.h"

namespace fee {

int versionMajor() { return FEE_VERSION_MAJOR; }
int versionMinor() { return FEE_VERSION_MINOR; }
int versionPatch() { return FEE_VERSION_PATCH; }

QString loginVersionCaption() { return QStringLiteral("V%1.%2版").arg(versionMajor()).arg(versionMinor()); }

QString fullVersionText()
{
    return QStringLiteral("%1.%2.%3").arg(versionMajor()).arg(versionMinor()).arg(versionPatch());
}

} // namespace fee
