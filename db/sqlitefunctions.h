#pragma once

struct sqlite3;

namespace fee {

// The collation declared on the embedded database's text columns: like SQL
// Server's default, it ignores letter case and trailing blanks.
inline constexpr const char* kSqliteCollation = "Chinese_PRC_CI_AS";

// Registers on a SQLite handle the collation above and the functions the
// adapted statements need (an exact sum, among others).
void registerSqliteFunctions(sqlite3* db);

} // namespace fee
