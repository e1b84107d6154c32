#include "cli/demodb/demodbwriter.h"

#include "core/failure.h"

#include <QString>
#include <sqlite3.h>

namespace fee::demo {

DemoDbWriter::DemoDbWriter(const std::string& path)
{
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        fail("cannot create " + path);
}

DemoDbWriter::~DemoDbWriter() { close(); }

void DemoDbWriter::close()
{
    for (auto& [name, insert] : m_inserts)
        sqlite3_finalize(insert.statement);
    m_inserts.clear();
    if (m_db)
        sqlite3_close(m_db);
    m_db = nullptr;
}

void DemoDbWriter::fail(const std::string& what) const
{
    const std::string reason = m_db ? sqlite3_errmsg(m_db) : "out of memory";
    throw Failure(kErrFile, QString::fromStdString(what + ": " + reason));
}

void DemoDbWriter::execute(const std::string& sql)
{
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(sql);
}

void DemoDbWriter::declareInsert(const std::string& table, const std::vector<std::string>& columns)
{
    std::string sql = "INSERT INTO " + table + " (";
    std::string marks;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        sql += (i ? ", " : "") + columns[i];
        marks += i ? ", ?" : "?";
    }
    sql += ") VALUES (" + marks + ")";
    Insert insert;
    insert.columns = static_cast<int>(columns.size());
    if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &insert.statement, nullptr) != SQLITE_OK)
        fail(sql);
    m_inserts[table] = insert;
}

void DemoDbWriter::insert(const std::string& table, std::initializer_list<SqlValue> values)
{
    auto found = m_inserts.find(table);
    if (found == m_inserts.end() || found->second.columns != static_cast<int>(values.size()))
        throw Failure(kErrFile, QString::fromStdString("no insert of this shape for " + table));
    sqlite3_stmt* statement = found->second.statement;
    int index = 1;
    for (const SqlValue& value : values) {
        if (const auto* integer = std::get_if<long long>(&value))
            sqlite3_bind_int64(statement, index, *integer);
        else if (const auto* real = std::get_if<double>(&value))
            sqlite3_bind_double(statement, index, *real);
        else if (const auto* text = std::get_if<std::string>(&value))
            sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()), SQLITE_STATIC);
        else
            sqlite3_bind_null(statement, index);
        ++index;
    }
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (rc != SQLITE_DONE)
        fail("insert into " + table);
    ++found->second.rows;
}

long long DemoDbWriter::rowCount(const std::string& table) const
{
    auto found = m_inserts.find(table);
    return found == m_inserts.end() ? 0 : found->second.rows;
}

} // namespace fee::demo
