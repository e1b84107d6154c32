#include "db/odbcsource.h"

#include "db/cancelstate.h"
#include "db/dberror.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <sql.h>
#include <sqlext.h>

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
    if (!m_longFieldsKnown)
        findLongTexts();
    bool found = false;
    if (m_cancel) {
        CancelState::Flight flight(*m_cancel, m_handle);
        found = m_query->next();
    } else {
        found = m_query->next();
    }
    if (!found && m_query->lastError().isValid())
        fail();
    if (found)
        readLongTexts();
    return found;
}

void OdbcSource::findLongTexts()
{
    m_longFieldsKnown = true;
    if (!m_handle)
        m_handle = statementHandle(*m_query);
    if (!m_handle)
        return;
    // Asked of the driver, not of the query: the query's record() reads the
    // current row's values and would consume part of a long text.
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(static_cast<SQLHSTMT>(m_handle), &columns)))
        return;
    for (int i = 0; i < columns; ++i) {
        SQLSMALLINT type = 0;
        SQLULEN size = 0;
        if (!SQL_SUCCEEDED(SQLDescribeColW(static_cast<SQLHSTMT>(m_handle), SQLUSMALLINT(i + 1), nullptr, 0, nullptr,
                &type, &size, nullptr, nullptr)))
            continue;
        const bool text
            = type == SQL_WVARCHAR || type == SQL_VARCHAR || type == SQL_WLONGVARCHAR || type == SQL_LONGVARCHAR;
        // Size 0 is nvarchar(max); the long types are ntext and text.
        if (text && (size == 0 || type == SQL_WLONGVARCHAR || type == SQL_LONGVARCHAR))
            m_longFields.append(i);
    }
}

void OdbcSource::readLongTexts()
{
    m_longValues.clear();
    for (const int field : std::as_const(m_longFields)) {
        QString text;
        bool null = false;
        SQLWCHAR buffer[2048];
        for (;;) {
            SQLLEN length = 0;
            const SQLRETURN r = SQLGetData(
                static_cast<SQLHSTMT>(m_handle), SQLUSMALLINT(field + 1), SQL_C_WCHAR, buffer, sizeof buffer, &length);
            if (r == SQL_NO_DATA)
                break;
            if (!SQL_SUCCEEDED(r))
                throw Failure(kErrConnection,
                    QStringLiteral("A long text could not be read (field %1).")
                        .arg(m_query->record().fieldName(field)));
            if (length == SQL_NULL_DATA) {
                null = true;
                break;
            }
            // A full buffer less its terminator when more is to come.
            const qsizetype chars
                = (r == SQL_SUCCESS_WITH_INFO || length == SQL_NO_TOTAL || length >= SQLLEN(sizeof buffer))
                ? qsizetype(sizeof buffer / sizeof(SQLWCHAR)) - 1
                : qsizetype(length / sizeof(SQLWCHAR));
            text += QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer), chars);
            if (r == SQL_SUCCESS)
                break;
        }
        if (!null)
            m_longValues.insert(field, text);
    }
}

bool OdbcSource::isNull(int field) const
{
    if (m_longFields.contains(field))
        return !m_longValues.contains(field);
    return m_query->isNull(field);
}

QVariant OdbcSource::value(int field) const
{
    if (m_longFields.contains(field)) {
        const auto it = m_longValues.constFind(field);
        return it == m_longValues.constEnd() ? QVariant() : QVariant(*it);
    }
    return m_query->isNull(field) ? QVariant() : m_query->value(field);
}

} // namespace fee
