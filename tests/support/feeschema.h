#pragma once

// The fee tables every hand-made test fixture is built on: the same schema as
// the demo-database generator's, so fixtures and demo files cannot drift.

#include "cli/demodb/demodbschema.h"

#include <QString>
#include <QStringList>

namespace fixture {

// CREATE TABLE statements of the fee tables. With `collate` the text columns
// carry the database collation, as the embedded databases do (a SQL Server
// stand-in loads plain ones). Tables named in `omit` are left out.
inline QString feeSchema(bool collate, const QStringList& omit = {}, const QStringList& only = {})
{
    const QString script = QString::fromStdString(fee::demo::demoSchemaScript(!collate));
    QString kept;
    for (const QString& statement : script.split(QStringLiteral(";\n"), Qt::SkipEmptyParts)) {
        const QString table = statement.section(QLatin1Char(' '), 2, 2);
        if (!omit.contains(table) && (only.isEmpty() || only.contains(table)))
            kept += statement + QStringLiteral(";\n");
    }
    return kept;
}

// The CREATE TABLE statement of one fee table.
inline QString feeTable(bool collate, const QString& table) { return feeSchema(collate, {}, { table }); }

} // namespace fixture
