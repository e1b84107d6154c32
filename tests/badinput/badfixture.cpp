#include "badfixture.h"

#include "cli/demodb/demodb.h"
#include "core/failure.h"

#include "tests/support/sqlitescript.h"
#include <QFile>

namespace badinput {

QString buildSmallDemo(const QString& path)
{
    fee::demo::DemoDbOptions options;
    options.path = path;
    options.offices = 2;
    options.rooms = 5;
    options.plainCollation = true;
    try {
        fee::demo::buildDemoDb(options);
    } catch (const fee::Failure& failure) {
        return failure.description();
    }
    return QString();
}

QString copyWith(const QString& from, const QString& to, const QString& script)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        return QStringLiteral("cannot copy ") + from;
    return fee::testing::runSqliteScript(to, script.toUtf8());
}

} // namespace badinput
