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

    bool isNameChar(QChar c)
    {
        const char16_t u = c.unicode();
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_';
    }

} // namespace

bool OdbcSource::hasNamedPlaceholder(const QString& statement)
{
    // The same scan Qt makes before it hands a prepared statement to a
    // driver without named placeholders.
    QChar closing;
    const qsizetype n = statement.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = statement.at(i);
        if (!closing.isNull()) {
            if (c == closing) {
                if (closing == u']' && i + 1 < n && statement.at(i + 1) == closing)
                    ++i;
                else
                    closing = QChar();
            }
            continue;
        }
        if (c == u':' && (i == 0 || statement.at(i - 1) != u':') && i + 1 < n && isNameChar(statement.at(i + 1)))
            return true;
        if (c == u'\'' || c == u'"' || c == u'`')
            closing = c;
        else if (c == u'[')
            closing = u']';
    }
    return false;
}

OdbcSource::OdbcSource(const QSqlDatabase& db, const QString& statement, std::shared_ptr<CancelState> cancel)
    : m_query(std::make_unique<QSqlQuery>(db))
    , m_cancel(std::move(cancel))
{
    m_cancel->throwIfCancelled();
    // Before exec: a scrollable query would make FreeTDS open a server cursor.
    m_query->setForwardOnly(true);
    bool ran = false;
    // Prepared first, so the statement handle is known before it runs and a
    // cancel from another thread can reach it. A statement Qt would rewrite
    // for placeholders runs directly instead (then only between calls).
    if (!hasNamedPlaceholder(statement)) {
        if (!m_query->prepare(statement))
            fail();
        m_handle = statementHandle(*m_query);
        CancelState::Flight flight(*m_cancel, m_handle);
        ran = m_query->exec();
    } else {
        ran = m_query->exec(statement);
        m_handle = statementHandle(*m_query);
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
