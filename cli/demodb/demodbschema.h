#pragma once

#include <string>
#include <vector>

namespace fee::demo {

class DemoDbWriter;

enum class ColumnType { Text, Integer, Real, Date, Key };

struct DemoColumn {
    std::string name;
    ColumnType type;
};

struct DemoTable {
    std::string name;
    std::vector<DemoColumn> columns;
};

// The tables of the fee database as the reports read them.
const std::vector<DemoTable>& demoTables();

// The CREATE TABLE statements of every table, separated by ";" (the schema
// the tests' hand-made fixtures share with the generator).
std::string demoSchemaScript(bool plainCollation);

// Creates every table and prepares its insert. Text and date columns carry the
// database's case-insensitive collation unless plainCollation is set (a SQL
// Server test server loads the file and does not know that collation).
void createDemoTables(DemoDbWriter& writer, bool plainCollation);

// Indexes go in after the rows: building them once is faster than keeping them
// up to date through a million inserts.
void createDemoIndexes(DemoDbWriter& writer);

} // namespace fee::demo
