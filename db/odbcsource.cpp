#include "db/odbcsource.h"

#include "db/cancelstate.h"

#include <QDateTime>
#include <sql.h>
#include <sqlext.h>

namespace fee {

namespace {

    constexpr qsizetype kBufferChars = 4096;

    SQLHSTMT statementOf(void* handle) { return static_cast<SQLHSTMT>(handle); }

    const SQLWCHAR* wide(const QString& text) { return reinterpret_cast<const SQLWCHAR*>(text.utf16()); }

    // The diagnostic records of one handle, as QODBC joins them: one blank
    // between messages, a message equal to the text so far left out. The
    // native number is the last record's.
    void collectDiagnostics(SQLSMALLINT type, SQLHANDLE handle, QString& text, SQLINTEGER& native)
    {
        if (!handle)
            return;
        QString own;
        for (SQLSMALLINT record = 1;; ++record) {
            SQLWCHAR state[SQL_SQLSTATE_SIZE + 1];
            SQLINTEGER number = 0;
            SQLSMALLINT length = 0;
            SQLRETURN r = SQLGetDiagRecW(type, handle, record, state, &number, nullptr, 0, &length);
            if (r == SQL_NO_DATA || !SQL_SUCCEEDED(r))
                break;
            std::vector<SQLWCHAR> message(size_t(length) + 1);
            r = SQLGetDiagRecW(type, handle, record, state, &number, message.data(), SQLSMALLINT(message.size()),
                &length);
            if (!SQL_SUCCEEDED(r))
                break;
            native = number;
            const QString line = QString::fromUtf16(reinterpret_cast<const char16_t*>(message.data()), length);
            if (line != own) {
                if (!own.isEmpty())
                    own += QLatin1Char(' ');
                own += line;
            }
        }
        if (own.isEmpty())
            return;
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += own;
    }

    QDateTime dateTimeOf(const SQL_TIMESTAMP_STRUCT& t)
    {
        return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second, int(t.fraction / 1000000)));
    }

} // namespace

QString OdbcSource::batchText(const QStringList& statements)
{
    // A semicolon ends each statement: the server then never reads the
    // next one's first word as part of the last one's.
    return statements.join(QStringLiteral(";\n"));
}

OdbcSource::OdbcSource(
    void* connectionHandle, const QStringList& statements, std::shared_ptr<CancelState> cancel, int driverTimeout)
    : m_connection(connectionHandle)
    , m_cancel(std::move(cancel))
    , m_statementCount(statements.size())
{
    m_cancel->throwIfCancelled();
    SQLHANDLE handle = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, static_cast<SQLHDBC>(m_connection), &handle)))
        fail();
    m_statement.reset(handle);
    // Forward only and read-only: anything else makes FreeTDS open a server cursor.
    SQLSetStmtAttr(handle, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_FORWARD_ONLY), SQL_IS_UINTEGER);
    SQLSetStmtAttr(handle, SQL_ATTR_CONCURRENCY, reinterpret_cast<SQLPOINTER>(SQL_CONCUR_READ_ONLY), SQL_IS_UINTEGER);
    if (driverTimeout > 0)
        SQLSetStmtAttr(handle, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(driverTimeout)),
            SQL_IS_UINTEGER);
    const QString text = batchText(statements);
    SQLRETURN r = SQL_ERROR;
    {
        CancelState::Flight flight(*m_cancel, m_statement.get());
        r = SQLExecDirectW(statementOf(m_statement.get()), const_cast<SQLWCHAR*>(wide(text)), SQLINTEGER(text.size()));
    }
    if (r != SQL_NO_DATA && !SQL_SUCCEEDED(r))
        fail();
    // A cancel that came just before the driver took the statement.
    m_cancel->throwIfCancelled();
    describe();
}

OdbcSource::~OdbcSource()
{
    // Freeing a statement whose results are not all read makes the driver
    // ask the server to drop them and wait for its answer: watched like any
    // call, so that a server that no longer answers costs its link, not a
    // wait for ever.
    CancelState::Flight closing(*m_cancel, CancelState::closing(), CancelState::Flight::Mode::Anyway);
    m_statement.reset();
}

void OdbcSource::HandleFree::operator()(void* handle) const { SQLFreeHandle(SQL_HANDLE_STMT, handle); }

void OdbcSource::fail() const
{
    m_cancel->throwIfCancelled();
    // The link was dropped under a call that waited too long: the driver's
    // message would only say the link failed.
    m_cancel->throwIfTimedOut();
    QString text;
    SQLINTEGER native = 0;
    collectDiagnostics(SQL_HANDLE_DBC, m_connection, text, native);
    collectDiagnostics(SQL_HANDLE_STMT, m_statement.get(), text, native);
    text = text.trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Unable to execute statement");
    // Drivers report 0 when the failure has no number of the server's.
    throw Failure(native != 0 ? int(native) : kErrConnection, text);
}

void OdbcSource::describe()
{
    m_columns.clear();
    m_row.clear();
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(statementOf(m_statement.get()), &count)))
        fail();
    m_columns.resize(count);
    m_row.resize(count);
    for (SQLSMALLINT i = 0; i < count; ++i) {
        Column& column = m_columns[i];
        SQLWCHAR name[256];
        SQLSMALLINT length = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        if (!SQL_SUCCEEDED(SQLDescribeColW(statementOf(m_statement.get()), SQLUSMALLINT(i + 1), name, 256, &length,
                &column.type, &size, &digits, &nullable)))
            fail();
        if (length >= 256) {
            std::vector<SQLWCHAR> longName(size_t(length) + 1);
            SQLDescribeColW(statementOf(m_statement.get()), SQLUSMALLINT(i + 1), longName.data(),
                SQLSMALLINT(longName.size()), &length, &column.type, &size, &digits, &nullable);
            column.name = QString::fromUtf16(reinterpret_cast<const char16_t*>(longName.data()), length);
        } else {
            column.name = QString::fromUtf16(reinterpret_cast<const char16_t*>(name), length);
        }
        SQLLEN isUnsigned = SQL_FALSE;
        SQLColAttributeW(
            statementOf(m_statement.get()), SQLUSMALLINT(i + 1), SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned);
        column.isUnsigned = isUnsigned == SQL_TRUE;
    }
}

QStringList OdbcSource::fieldNames() const
{
    QStringList names;
    names.reserve(m_columns.size());
    for (const Column& column : m_columns)
        names.append(column.name);
    return names;
}

bool OdbcSource::fetch()
{
    // A statement without a result set (none of ours) has no rows to fetch.
    if (m_columns.isEmpty())
        return false;
    // The row's values are read at once, in column order, while the handle
    // is in flight: a long text may still be on its way over the network.
    CancelState::Flight flight(*m_cancel, m_statement.get());
    const SQLRETURN r = SQLFetch(statementOf(m_statement.get()));
    if (r == SQL_NO_DATA) {
        // A link dropped under the call must not read as the end of the rows.
        m_cancel->throwIfCancelled();
        m_cancel->throwIfTimedOut();
        return false;
    }
    if (!SQL_SUCCEEDED(r))
        fail();
    for (int i = 0; i < m_columns.size(); ++i)
        m_row[i] = read(i);
    return true;
}

bool OdbcSource::hasMoreResultSets() const { return m_current + 1 < m_statementCount; }

bool OdbcSource::nextResultSet()
{
    if (!hasMoreResultSets())
        return false;
    // A result set left before its end makes FreeTDS stop first at the
    // statement's row count, a result without columns; every statement of
    // ours returns rows, so such a result is passed over.
    for (;;) {
        SQLRETURN r = SQL_ERROR;
        {
            CancelState::Flight flight(*m_cancel, m_statement.get());
            r = SQLMoreResults(statementOf(m_statement.get()));
        }
        if (r == SQL_NO_DATA) {
            m_cancel->throwIfCancelled();
            m_cancel->throwIfTimedOut();
            m_statementCount = m_current + 1;
            m_columns.clear();
            m_row.clear();
            return false;
        }
        if (!SQL_SUCCEEDED(r))
            fail();
        describe();
        if (!m_columns.isEmpty())
            break;
    }
    ++m_current;
    return true;
}

QVariant OdbcSource::read(int field)
{
    const Column& column = m_columns.at(field);
    SQLHSTMT statement = statementOf(m_statement.get());
    const auto number = SQLUSMALLINT(field + 1);
    SQLLEN indicator = 0;
    auto get = [&](SQLSMALLINT target, void* value, SQLLEN size) {
        if (!SQL_SUCCEEDED(SQLGetData(statement, number, target, value, size, &indicator)))
            fail();
        return indicator != SQL_NULL_DATA;
    };
    switch (column.type) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
        if (column.isUnsigned || column.type == SQL_TINYINT) {
            SQLUINTEGER v = 0;
            return get(SQL_C_ULONG, &v, 0) ? QVariant(uint(v)) : QVariant();
        } else {
            SQLINTEGER v = 0;
            return get(SQL_C_SLONG, &v, 0) ? QVariant(int(v)) : QVariant();
        }
    case SQL_BIGINT:
        if (column.isUnsigned) {
            SQLUBIGINT v = 0;
            return get(SQL_C_UBIGINT, &v, 0) ? QVariant(qulonglong(v)) : QVariant();
        } else {
            SQLBIGINT v = 0;
            return get(SQL_C_SBIGINT, &v, 0) ? QVariant(qlonglong(v)) : QVariant();
        }
    case SQL_DECIMAL:
    case SQL_NUMERIC:
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE: {
        SQLDOUBLE v = 0;
        return get(SQL_C_DOUBLE, &v, 0) ? QVariant(double(v)) : QVariant();
    }
    case SQL_DATE:
    case SQL_TYPE_DATE: {
        SQL_DATE_STRUCT v {};
        return get(SQL_C_TYPE_DATE, &v, sizeof v) ? QVariant(QDate(v.year, v.month, v.day)) : QVariant();
    }
    case SQL_TIME:
    case SQL_TYPE_TIME: {
        SQL_TIME_STRUCT v {};
        return get(SQL_C_TYPE_TIME, &v, sizeof v) ? QVariant(QTime(v.hour, v.minute, v.second)) : QVariant();
    }
    case SQL_TIMESTAMP:
    case SQL_TYPE_TIMESTAMP: {
        SQL_TIMESTAMP_STRUCT v {};
        return get(SQL_C_TYPE_TIMESTAMP, &v, sizeof v) ? QVariant(dateTimeOf(v)) : QVariant();
    }
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
    case SQL_GUID:
        return readText(field);
    default:
        return readBytes(field);
    }
}

QVariant OdbcSource::readText(int field)
{
    if (m_buffer.empty())
        m_buffer.resize(size_t(kBufferChars));
    const auto bytes = SQLLEN(m_buffer.size() * sizeof(char16_t));
    QString text;
    for (;;) {
        SQLLEN length = 0;
        const SQLRETURN r = SQLGetData(
            statementOf(m_statement.get()), SQLUSMALLINT(field + 1), SQL_C_WCHAR, m_buffer.data(), bytes, &length);
        if (r == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(r))
            fail();
        if (length == SQL_NULL_DATA)
            return QVariant();
        // A full buffer less its terminator while more is to come.
        const bool more = r == SQL_SUCCESS_WITH_INFO && (length == SQL_NO_TOTAL || length >= bytes);
        const qsizetype chars
            = more ? qsizetype(m_buffer.size()) - 1 : qsizetype(length / SQLLEN(sizeof(char16_t)));
        text += QStringView(m_buffer.data(), chars);
        if (!more)
            break;
    }
    // An empty text stays a text: only NULL reads as no value.
    if (text.isNull())
        text = QLatin1String("");
    return QVariant(text);
}

QVariant OdbcSource::readBytes(int field)
{
    QByteArray bytes;
    char chunk[4096];
    for (;;) {
        SQLLEN length = 0;
        const SQLRETURN r
            = SQLGetData(statementOf(m_statement.get()), SQLUSMALLINT(field + 1), SQL_C_BINARY, chunk, sizeof chunk, &length);
        if (r == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(r))
            fail();
        if (length == SQL_NULL_DATA)
            return QVariant();
        const bool more = r == SQL_SUCCESS_WITH_INFO && (length == SQL_NO_TOTAL || length > SQLLEN(sizeof chunk));
        bytes.append(chunk, more ? qsizetype(sizeof chunk) : qsizetype(length));
        if (!more)
            break;
    }
    return QVariant(bytes);
}

bool OdbcSource::isNull(int field) const { return !m_row.at(field).isValid(); }

QVariant OdbcSource::value(int field) const { return m_row.at(field); }

} // namespace fee
