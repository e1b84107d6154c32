#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace fee::demo {

// One value of an inserted row: NULL, an integer, a real or a text.
using SqlValue = std::variant<std::monostate, long long, double, std::string>;

// Money in whole cents, so sums and the tax split stay exact while generating.
inline SqlValue money(long long cents) { return static_cast<double>(cents) / 100.0; }
inline SqlValue textOrNull(const std::string& text) { return text.empty() ? SqlValue() : SqlValue(text); }

// The writing handle of the file being built: one transaction, one prepared
// insert per table, rows counted per table for the summary.
class DemoDbWriter {
public:
    explicit DemoDbWriter(const std::string& path);
    ~DemoDbWriter();
    DemoDbWriter(const DemoDbWriter&) = delete;
    DemoDbWriter& operator=(const DemoDbWriter&) = delete;

    void execute(const std::string& sql);
    // Prepares "INSERT INTO table (columns) VALUES (?...)" for later rows.
    void declareInsert(const std::string& table, const std::vector<std::string>& columns);
    void insert(const std::string& table, std::initializer_list<SqlValue> values);
    long long rowCount(const std::string& table) const;
    sqlite3* handle() const { return m_db; }
    void close();

private:
    struct Insert {
        sqlite3_stmt* statement = nullptr;
        int columns = 0;
        long long rows = 0;
    };
    [[noreturn]] void fail(const std::string& what) const;

    sqlite3* m_db = nullptr;
    std::map<std::string, Insert> m_inserts;
};

} // namespace fee::demo
