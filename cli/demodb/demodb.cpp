#include "cli/demodb/demodb.h"

#include "cli/demodb/demodbledger.h"
#include "cli/demodb/demodborganisation.h"
#include "cli/demodb/demodbproperty.h"
#include "cli/demodb/demodbrandom.h"
#include "cli/demodb/demodbreceipts.h"
#include "cli/demodb/demodbschema.h"
#include "cli/demodb/demodbspaces.h"
#include "cli/demodb/demodbwriter.h"
#include "core/failure.h"
#include "db/sqlitefunctions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace fee::demo {

namespace {

    void markPoorOffices(DemoWorld& world, int count)
    {
        std::vector<DemoOffice*> residential;
        for (DemoOffice& office : world.offices)
            if (office.role == OfficeRole::Regular && office.kind == 0)
                residential.push_back(&office);
        // Every other one first, so that good and poor offices alternate.
        std::vector<DemoOffice*> order;
        for (std::size_t i = 1; i < residential.size(); i += 2)
            order.push_back(residential[i]);
        for (std::size_t i = 0; i < residential.size(); i += 2)
            order.push_back(residential[i]);
        for (int i = 0; i < count && i < int(order.size()); ++i)
            order[std::size_t(i)]->poorPayers = true;
    }

    void fillDatabase(DemoDbWriter& writer, const DemoDbOptions& options)
    {
        registerSqliteFunctions(writer.handle());
        // Nothing to recover if the build fails half-way: the file is discarded.
        writer.execute("PRAGMA journal_mode=OFF");
        writer.execute("PRAGMA synchronous=OFF");
        writer.execute("PRAGMA page_size=4096");
        writer.execute("BEGIN");
        createDemoTables(writer, options.plainCollation);

        DemoRandom random(options.seed);
        DemoWorld world;
        writeOrganisation(writer, random, options.offices, world);
        markPoorOffices(world, options.poorOffices);
        const std::vector<DemoAccount> accounts = writeProperty(writer, random, world, options.rooms);
        DemoReceipts receipts(writer, random, world);
        writeLedger(writer, random, world, accounts, receipts);
        receipts.writeNonRoutine();
        writeSpaceLedger(writer, random, world, receipts, options.rooms);

        createDemoIndexes(writer);
        writer.execute("COMMIT");
        writer.execute("ANALYZE");
    }

    QString summary(const DemoDbWriter& writer, const QString& path)
    {
        const auto count = [&](const char* table) { return QString::number(writer.rowCount(table)); };
        return QStringLiteral(
            "%1: %2 offices, %3 buildings, %4 rooms, %5 owners, %6 parking registrations, %7 ledger rows, "
            "%8 receipts, %9 receipt lines")
            .arg(path, count("设置管理处"), count("楼表"), count("室表"), count("业主表"), count("车位申请登记表"),
                count("WYZJ"), count("票据"), count("票据开票数据"));
    }

} // namespace

QString buildDemoDb(const DemoDbOptions& options)
{
    const QFileInfo target(options.path);
    if (target.isDir())
        throw Failure(kErrFile, QStringLiteral("%1 is a folder").arg(options.path));
    if (!target.absoluteDir().exists())
        throw Failure(kErrFile, QStringLiteral("folder of %1 does not exist").arg(options.path));

    // Built beside the target and renamed over it at the end, so a reader never
    // sees a half-written file and a failed build leaves the old one alone.
    const QString temporary = target.absoluteFilePath() + QStringLiteral(".building");
    QFile::remove(temporary);
    QString line;
    try {
        DemoDbWriter writer(QFile::encodeName(temporary).toStdString());
        fillDatabase(writer, options);
        line = summary(writer, options.path);
        writer.close();
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target.absoluteFilePath()).constData())
        != 0) {
        QFile::remove(temporary);
        throw Failure(kErrFile, QStringLiteral("cannot replace %1").arg(options.path));
    }
    return line;
}

} // namespace fee::demo
