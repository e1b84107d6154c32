#include "db/sqlitesource.h"

#include "db/cancelstate.h"

#include <cstring>
#include <sqlite3.h>

namespace fee {

namespace {

    constexpr int kErrNoQuery = kErrConnection;

    bool onlyBlanks(const char* tail)
    {
        for (; tail && *tail; ++tail) {
            const char c = *tail;
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != ';')
                return false;
        }
        return true;
    }

} // namespace

void SqliteSource::Finalizer::operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }

SqliteSource::SqliteSource(sqlite3* db, const QString& statement, std::shared_ptr<const CancelState> cancel)
    : m_db(db)
    , m_cancel(std::move(cancel))
{
    m_cancel->throwIfCancelled();
    const QByteArray utf8 = statement.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int prepared = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, &tail);
    m_stmt.reset(stmt);
    if (prepared != SQLITE_OK)
        handle(prepared);
    if (!m_stmt)
        throw Failure(kErrNoQuery, QStringLiteral("No query"));
    // One statement at a time, as the server's driver runs one batch.
    if (!onlyBlanks(tail))
        throw Failure(SQLITE_MISUSE, QStringLiteral("Unable to execute multiple statements at a time"));
    m_memo.resize(size_t(sqlite3_column_count(m_stmt.get())));
    m_first = sqlite3_step(m_stmt.get());
    handle(m_first);
}

SqliteSource::~SqliteSource() = default;

QStringList SqliteSource::fieldNames() const
{
    QStringList names;
    const int count = sqlite3_column_count(m_stmt.get());
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names.append(QString::fromUtf8(sqlite3_column_name(m_stmt.get(), i)).remove(QLatin1Char('"')));
    return names;
}

bool SqliteSource::handle(int code)
{
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    if (code == SQLITE_INTERRUPT || m_cancel->isCancelled())
        throw CancelState::cancellation();
    throw Failure(code, QString::fromUtf8(sqlite3_errmsg(m_db)));
}

bool SqliteSource::fetch()
{
    if (m_first != -1) {
        const int first = m_first;
        m_first = -1;
        return handle(first);
    }
    return handle(sqlite3_step(m_stmt.get()));
}

bool SqliteSource::isNull(int field) const { return sqlite3_column_type(m_stmt.get(), field) == SQLITE_NULL; }

QVariant SqliteSource::value(int field) const
{
    sqlite3_stmt* stmt = m_stmt.get();
    switch (sqlite3_column_type(stmt, field)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, field)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, field));
    case SQLITE_BLOB: {
        const void* data = sqlite3_column_blob(stmt, field);
        return QVariant(QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(stmt, field)));
    }
    default:
        return QVariant(text(field));
    }
}

QString SqliteSource::text(int field) const
{
    sqlite3_stmt* stmt = m_stmt.get();
    switch (sqlite3_column_type(stmt, field)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_TEXT: {
        // The dates of the embedded database are ISO texts already.
        const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(stmt, field));
        const int size = sqlite3_column_bytes(stmt, field);
        ColumnMemo& memo = m_memo[field];
        if (memo.utf8.size() == size && std::memcmp(memo.utf8.constData(), utf8, size_t(size)) == 0
            && !memo.text.isNull())
            return memo.text;
        memo.utf8.resize(size);
        std::memcpy(memo.utf8.data(), utf8, size_t(size));
        memo.text = QString::fromUtf8(utf8, size);
        return memo.text;
    }
    default:
        return valueText(value(field));
    }
}

} // namespace fee
