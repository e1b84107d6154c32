#include "db/dbconnection.h"

#include "db/connectionstring.h"
#include "db/sqlitefunctions.h"
#include "db/statementadapter.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <sqlite3.h>

namespace fee {

namespace {

    constexpr int kErrTypeMismatch = 13;
    constexpr int kErrClosed = 3704;
    const char* const kFreeTdsLibrary = "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so";

    Failure failureOf(const QSqlError& error)
    {
        bool ok = false;
        const int native = error.nativeErrorCode().trimmed().toInt(&ok);
        QString text = error.databaseText().trimmed();
        if (text.isEmpty())
            text = error.driverText().trimmed();
        if (text.isEmpty())
            text = QStringLiteral("Unspecified error");
        // Drivers report 0 when the failure has no number of the server's.
        return Failure(ok && native != 0 ? native : kErrConnection, text);
    }

    QString isoText(const QDateTime& value)
    {
        if (value.time() == QTime(0, 0))
            return value.date().toString(QStringLiteral("yyyy-MM-dd"));
        return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }

    std::unique_ptr<DbConnection>& sharedSlot()
    {
        // Never destroyed: the connection lives until the process ends, and
        // Qt's connection registry may be gone by the time statics unwind.
        static auto* slot = new std::unique_ptr<DbConnection>();
        return *slot;
    }

} // namespace

// ---- DbResult ---------------------------------------------------------------

DbResult::DbResult() = default;

DbResult::DbResult(std::unique_ptr<QSqlQuery> query)
{
    if (!query)
        return;
    const QSqlRecord record = query->record();
    const int count = record.count();
    for (int i = 0; i < count; ++i)
        m_names.append(record.fieldName(i));
    while (query->next()) {
        QVariantList row;
        row.reserve(count);
        for (int i = 0; i < count; ++i)
            row.append(query->isNull(i) ? QVariant() : query->value(i));
        m_rows.append(std::move(row));
    }
    if (query->lastError().isValid())
        throw failureOf(query->lastError());
    query->finish();
}

DbResult::DbResult(DbResult&&) noexcept = default;
DbResult& DbResult::operator=(DbResult&&) noexcept = default;
DbResult::~DbResult() = default;

bool DbResult::next()
{
    if (m_row < m_rows.size())
        ++m_row;
    return m_row < m_rows.size();
}

int DbResult::fieldCount() const { return int(m_names.size()); }

QString DbResult::fieldName(int index) const { return m_names.value(index); }

bool DbResult::hasField(const QString& name) const
{
    return std::any_of(
        m_names.cbegin(), m_names.cend(), [&](const QString& n) { return n.compare(name, Qt::CaseInsensitive) == 0; });
}

int DbResult::indexOf(const QString& name) const
{
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    throw Failure(3265,
        QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal: ")
            + name);
}

const QVariant& DbResult::cell(const QString& name) const
{
    const int index = indexOf(name);
    if (m_row < 0 || m_row >= m_rows.size())
        throw Failure(3021, QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    return m_rows[m_row][index];
}

bool DbResult::isNull(const QString& name) const { return cell(name).isNull(); }

QVariant DbResult::value(const QString& name) const
{
    const QVariant& v = cell(name);
    return v.isNull() ? QVariant() : v;
}

QString DbResult::textOrEmpty(const QString& name) const
{
    const QVariant v = value(name);
    if (!v.isValid())
        return {};
    // Dates read the same on both databases.
    if (v.metaType().id() == QMetaType::QDateTime)
        return isoText(v.toDateTime());
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    return v.toString();
}

QString DbResult::text(const QString& name) const
{
    if (!value(name).isValid())
        throw Failure(kErrInvalidNull, QStringLiteral("Invalid use of Null (field ") + name + QLatin1Char(')'));
    return textOrEmpty(name);
}

std::optional<double> DbResult::numberOrNull(const QString& name) const
{
    const QVariant v = value(name);
    if (!v.isValid())
        return std::nullopt;
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool() ? -1.0 : 0.0;
    bool ok = false;
    const double d = v.metaType().id() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
    if (!ok)
        throw Failure(kErrTypeMismatch, QStringLiteral("Type mismatch (field ") + name + QLatin1Char(')'));
    return d;
}

double DbResult::number(const QString& name) const
{
    const std::optional<double> d = numberOrNull(name);
    if (!d)
        throw Failure(kErrInvalidNull, QStringLiteral("Invalid use of Null (field ") + name + QLatin1Char(')'));
    return *d;
}

QDateTime DbResult::dateTime(const QString& name) const
{
    const QVariant v = value(name);
    if (!v.isValid())
        return {};
    switch (v.metaType().id()) {
    case QMetaType::QDateTime:
        return v.toDateTime();
    case QMetaType::QDate:
        return v.toDate().startOfDay();
    default:
        break;
    }
    const QString s = v.toString().trimmed();
    QDateTime parsed;
    if (s.size() == 10)
        parsed = QDate::fromString(s, QStringLiteral("yyyy-MM-dd")).startOfDay();
    else if (s.size() >= 19) {
        QString normal = s.left(19);
        normal[10] = QLatin1Char(' ');
        parsed = QDateTime::fromString(normal, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (parsed.isValid() && s.size() > 20 && s.at(19) == QLatin1Char('.'))
            parsed = parsed.addMSecs(qRound(s.mid(19).toDouble() * 1000));
    }
    if (!parsed.isValid())
        throw Failure(kErrTypeMismatch, QStringLiteral("Type mismatch (field ") + name + QStringLiteral("): ") + s);
    return parsed;
}

QDate DbResult::date(const QString& name) const { return dateTime(name).date(); }

bool DbResult::boolean(const QString& name) const
{
    const QVariant v = value(name);
    if (!v.isValid())
        throw Failure(kErrInvalidNull, QStringLiteral("Invalid use of Null (field ") + name + QLatin1Char(')'));
    if (v.metaType().id() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        if (s == QLatin1String("true"))
            return true;
        if (s == QLatin1String("false"))
            return false;
        bool ok = false;
        const double d = s.toDouble(&ok);
        if (!ok)
            throw Failure(kErrTypeMismatch, QStringLiteral("Type mismatch (field ") + name + QLatin1Char(')'));
        return d != 0;
    }
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool();
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        throw Failure(kErrTypeMismatch, QStringLiteral("Type mismatch (field ") + name + QLatin1Char(')'));
    return d != 0;
}

// ---- DbConnection -----------------------------------------------------------

DbConnection::DbConnection()
{
    static QAtomicInt counter;
    m_name = QStringLiteral("fee-db-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

DbConnection::~DbConnection()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

void DbConnection::open(const QString& connectionString)
{
    if (QSqlDatabase::contains(m_name)) {
        {
            QSqlDatabase old = QSqlDatabase::database(m_name, false);
            old.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    m_backend = DbBackend::None;
    const ConnectionTarget target = translateConnectionString(connectionString);

    if (target.backend == DbBackend::Sqlite) {
        const QFileInfo file(target.sqlitePath);
        // Opening a missing file would quietly create an empty database.
        if (!file.isFile())
            throw Failure(kErrFile,
                QStringLiteral("The database file ") + target.sqlitePath + QStringLiteral(" does not exist."));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file.absoluteFilePath());
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            throw failureOf(db.lastError());
        const QVariant handle = db.driver()->handle();
        sqlite3* raw = nullptr;
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            raw = *static_cast<sqlite3* const*>(handle.data());
        if (!raw)
            throw Failure(kErrConnection, QStringLiteral("The SQLite driver gives no database handle."));
        registerSqliteFunctions(raw);
        // Temporary tables are writable even on a read-only file; forbid them too.
        sqlite3_exec(raw, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
        m_backend = DbBackend::Sqlite;
        return;
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
    db.setDatabaseName(target.odbc);
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=30"));
    if (!db.open()) {
        const QSqlError error = db.lastError();
        // Without an odbcinst.ini entry, name the FreeTDS library itself.
        const QString missingDriver = QStringLiteral("DRIVER={FreeTDS};");
        if (target.odbc.startsWith(missingDriver) && error.text().contains(QLatin1String("IM002"))
            && QFileInfo::exists(QString::fromLatin1(kFreeTdsLibrary))) {
            db.setDatabaseName(QStringLiteral("DRIVER=") + QString::fromLatin1(kFreeTdsLibrary) + QLatin1Char(';')
                + target.odbc.mid(missingDriver.size()));
            if (db.open()) {
                m_backend = DbBackend::SqlServer;
                return;
            }
        }
        const Failure failure = failureOf(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw failure;
    }
    m_backend = DbBackend::SqlServer;
}

bool DbConnection::isOpen() const
{
    return m_backend != DbBackend::None && QSqlDatabase::contains(m_name)
        && QSqlDatabase::database(m_name, false).isOpen();
}

DbBackend DbConnection::backend() const { return m_backend; }

QString DbConnection::adapt(const QString& statement) const
{
    return m_backend == DbBackend::Sqlite ? adaptStatementForSqlite(statement) : statement;
}

DbResult DbConnection::query(const QString& statement)
{
    if (!isOpen())
        throw Failure(kErrClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    auto q = std::make_unique<QSqlQuery>(QSqlDatabase::database(m_name, false));
    // Before exec: a scrollable query would make FreeTDS open a server cursor.
    q->setForwardOnly(true);
    if (!q->exec(adapt(statement)))
        throw failureOf(q->lastError());
    return DbResult(std::move(q));
}

DbConnection& DbConnection::shared()
{
    auto& slot = sharedSlot();
    if (!slot)
        slot = std::make_unique<DbConnection>();
    return *slot;
}

void DbConnection::setShared(std::unique_ptr<DbConnection> connection) { sharedSlot() = std::move(connection); }

} // namespace fee
