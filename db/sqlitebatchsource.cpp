#include "db/sqlitebatchsource.h"

#include "db/sqlitesource.h"

namespace fee {

SqliteBatchSource::SqliteBatchSource(sqlite3* db, QStringList statements, std::shared_ptr<const CancelState> cancel)
    : m_db(db)
    , m_statements(std::move(statements))
    , m_cancel(std::move(cancel))
{
    if (!m_statements.isEmpty())
        m_source = std::make_unique<SqliteSource>(m_db, m_statements.first(), m_cancel);
}

SqliteBatchSource::~SqliteBatchSource() = default;

QStringList SqliteBatchSource::fieldNames() const { return m_source ? m_source->fieldNames() : QStringList(); }

bool SqliteBatchSource::fetch() { return m_source && m_source->fetch(); }

bool SqliteBatchSource::isNull(int field) const { return m_source->isNull(field); }

QVariant SqliteBatchSource::value(int field) const { return m_source->value(field); }

QString SqliteBatchSource::text(int field) const { return m_source->text(field); }

bool SqliteBatchSource::hasMoreResultSets() const { return m_current + 1 < m_statements.size(); }

bool SqliteBatchSource::nextResultSet()
{
    if (!hasMoreResultSets())
        return false;
    // The finished statement goes before the next one is prepared.
    m_source.reset();
    ++m_current;
    m_source = std::make_unique<SqliteSource>(m_db, m_statements.at(m_current), m_cancel);
    return true;
}

} // namespace fee
