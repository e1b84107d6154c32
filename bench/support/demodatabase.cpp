#include "bench/support/demodatabase.h"

#include <QFileInfo>
#include <QProcess>
#include <cstdio>

namespace fee::bench {

bool ensureDemoDatabase(const QString& path, const QString& offices, const QString& rooms, const QString& what)
{
    if (QFileInfo::exists(path))
        return true;
    const QString shown = what.isEmpty() ? QStringLiteral("%1 offices, %2 rooms each").arg(offices, rooms) : what;
    std::printf("creating %s (%s)...\n", qPrintable(path), qPrintable(shown));
    std::fflush(stdout);
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral(FEE_CLI_PATH),
        { QStringLiteral("demo-db"), path, QStringLiteral("--offices"), offices, QStringLiteral("--rooms"), rooms });
    if (p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        return true;
    std::fprintf(stderr, "could not create the demo database\n");
    return false;
}

} // namespace fee::bench
