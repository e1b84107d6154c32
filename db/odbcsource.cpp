#include "db/odbcsource.h"

#include "db/cancelstate.h"
#include "db/dberror.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

namespace fee {

namespace {

    void* statementHandle(const QSqlQuery& query)
    {
        const QSqlResult* result = query.result();
        const QVariant handle = result ? result->handle() : QVariant();
        if (handle.metaType() != QMetaType::fromType<void*>())
            return nullptr;
        return *static_cast<void* const*>(handle.constData());
    }

} // namespace

OdbcSource::OdbcSource(const QSqlDatabase& db, const QString& statement, std::shared_ptr<CancelState> cancel)
    : m_query(std::make_unique<QSqlQuery>(db))
    , m_cancel(std::move(cancel))
{
    m_cancel->throwIfCancelled();
    // Before exec: a scrollable query would make FreeTDS open a server cursor.
    m_query->setForwardOnly(true);
    // Prepared first, so the statement handle is known before it runs and a
    // cancel from another thread can reach it while it runs.
    if (!m_query->prepare(statement))
        fail();
    m_handle = statementHandle(*m_query);
    bool ran = false;
    {
        CancelState::Flight flight(*m_cancel, m_handle);
        ran = m_query->exec();
    }
    if (!ran)
        fail();
    // A cancel that came just before the driver took the statement.
    m_cancel->throwIfCancelled();
}

OdbcSource::OdbcSource(std::unique_ptr<QSqlQuery> query)
    : m_query(std::move(query))
{
}

OdbcSource::~OdbcSource() = default;

void OdbcSource::fail() const
{
    if (m_cancel)
        m_cancel->throwIfCancelled();
    throw failureOf(m_query->lastError());
}

QStringList OdbcSource::fieldNames() const
{
    const QSqlRecord record = m_query->record();
    QStringList names;
    names.reserve(record.count());
    for (int i = 0; i < record.count(); ++i)
        names.append(record.fieldName(i));
    return names;
}

bool OdbcSource::fetch()
{
    bool found = false;
    if (m_cancel) {
        CancelState::Flight flight(*m_cancel, m_handle);
        found = m_query->next();
    } else {
        found = m_query->next();
    }
    if (!found && m_query->lastError().isValid())
        fail();
    return found;
}

bool OdbcSource::isNull(int field) const { return m_query->isNull(field); }

QVariant OdbcSource::value(int field) const { return m_query->isNull(field) ? QVariant() : m_query->value(field); }

} // namespace fee
