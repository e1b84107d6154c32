#include "db/dbconnection.h"
#include "db/dberror.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

namespace fee {

namespace {

    constexpr int kErrTypeMismatch = 13;

    QString isoText(const QDateTime& value)
    {
        if (value.time() == QTime(0, 0))
            return value.date().toString(QStringLiteral("yyyy-MM-dd"));
        return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }

} // namespace

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

const QVariant& DbResult::cell(int index) const
{
    if (index < 0 || index >= m_names.size())
        throw Failure(3265,
            QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal."));
    if (m_row < 0 || m_row >= m_rows.size())
        throw Failure(3021, QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    return m_rows[m_row][index];
}

bool DbResult::isNull(const QString& name) const { return isNull(indexOf(name)); }

bool DbResult::isNull(int field) const { return cell(field).isNull(); }

QVariant DbResult::value(const QString& name) const { return value(indexOf(name)); }

QVariant DbResult::value(int field) const
{
    const QVariant& v = cell(field);
    return v.isNull() ? QVariant() : v;
}

QString DbResult::textOrEmpty(const QString& name) const { return textOrEmpty(indexOf(name)); }

QString DbResult::textOrEmpty(int field) const
{
    const QVariant v = value(field);
    if (!v.isValid())
        return {};
    // Dates read the same on both databases.
    if (v.metaType().id() == QMetaType::QDateTime)
        return isoText(v.toDateTime());
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    return v.toString();
}

QString DbResult::text(const QString& name) const { return text(indexOf(name)); }

QString DbResult::text(int field) const
{
    if (!value(field).isValid())
        throw Failure(
            kErrInvalidNull, QStringLiteral("Invalid use of Null (field ") + fieldName(field) + QLatin1Char(')'));
    return textOrEmpty(field);
}

std::optional<double> DbResult::numberOrNull(const QString& name) const { return numberOrNull(indexOf(name)); }

std::optional<double> DbResult::numberOrNull(int field) const
{
    const QString name = fieldName(field);
    const QVariant v = value(field);
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

double DbResult::number(const QString& name) const { return number(indexOf(name)); }

double DbResult::number(int field) const
{
    const QString name = fieldName(field);
    const std::optional<double> d = numberOrNull(field);
    if (!d)
        throw Failure(kErrInvalidNull, QStringLiteral("Invalid use of Null (field ") + name + QLatin1Char(')'));
    return *d;
}

QDateTime DbResult::dateTime(const QString& name) const { return dateTime(indexOf(name)); }

QDateTime DbResult::dateTime(int field) const
{
    const QString name = fieldName(field);
    const QVariant v = value(field);
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

QDate DbResult::date(int field) const { return dateTime(field).date(); }

bool DbResult::boolean(const QString& name) const { return boolean(indexOf(name)); }

bool DbResult::boolean(int field) const
{
    const QString name = fieldName(field);
    const QVariant v = value(field);
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

} // namespace fee
