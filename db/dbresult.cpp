#include "db/dbresult.h"

#include "db/resultcursor.h"
#include "db/resultsource.h"

namespace fee {

namespace {

    constexpr int kErrTypeMismatch = 13;
    constexpr int kErrNoSuchField = 3265;

    Failure nullFailure(const QString& name)
    {
        return Failure(kErrInvalidNull, QStringLiteral("Invalid use of Null (field ") + name + QLatin1Char(')'));
    }

    Failure mismatch(const QString& name)
    {
        return Failure(kErrTypeMismatch, QStringLiteral("Type mismatch (field ") + name + QLatin1Char(')'));
    }

} // namespace

DbResult::DbResult() = default;

DbResult::DbResult(std::unique_ptr<ResultCursor> cursor)
    : m_cursor(std::move(cursor))
{
}

DbResult::DbResult(DbResult&&) noexcept = default;
DbResult& DbResult::operator=(DbResult&&) noexcept = default;
DbResult::~DbResult() = default;

bool DbResult::next() { return m_cursor && m_cursor->next(); }

bool DbResult::nextResult() { return m_cursor && m_cursor->nextResult(); }

int DbResult::fieldCount() const { return m_cursor ? m_cursor->fields().count() : 0; }

QString DbResult::fieldName(int index) const { return m_cursor ? m_cursor->fields().name(index) : QString(); }

bool DbResult::hasField(const QString& name) const { return m_cursor && m_cursor->fields().find(name) >= 0; }

int DbResult::indexOf(const QString& name) const
{
    const int index = m_cursor ? m_cursor->fields().find(name) : -1;
    if (index < 0)
        throw Failure(kErrNoSuchField,
            QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal: ")
                + name);
    return index;
}

void DbResult::checkField(int field) const
{
    if (field < 0 || field >= fieldCount())
        throw Failure(kErrNoSuchField,
            QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal."));
}

bool DbResult::isNull(int field) const
{
    checkField(field);
    return m_cursor->row().isNull(field);
}

QVariant DbResult::value(int field) const
{
    checkField(field);
    return m_cursor->row().value(field);
}

QString DbResult::textOrEmpty(int field) const
{
    checkField(field);
    return m_cursor->row().text(field);
}

QString DbResult::text(int field) const
{
    if (isNull(field))
        throw nullFailure(fieldName(field));
    return m_cursor->row().text(field);
}

std::optional<double> DbResult::numberOrNull(int field) const
{
    const QVariant v = value(field);
    if (!v.isValid())
        return std::nullopt;
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool() ? -1.0 : 0.0;
    bool ok = false;
    const double d = v.metaType().id() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
    if (!ok)
        throw mismatch(fieldName(field));
    return d;
}

double DbResult::number(int field) const
{
    const std::optional<double> d = numberOrNull(field);
    if (!d)
        throw nullFailure(fieldName(field));
    return *d;
}

QDateTime DbResult::dateTime(int field) const
{
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
        throw Failure(
            kErrTypeMismatch, QStringLiteral("Type mismatch (field ") + fieldName(field) + QStringLiteral("): ") + s);
    return parsed;
}

QDate DbResult::date(int field) const { return dateTime(field).date(); }

bool DbResult::boolean(int field) const
{
    const QVariant v = value(field);
    if (!v.isValid())
        throw nullFailure(fieldName(field));
    if (v.metaType().id() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        if (s == QLatin1String("true"))
            return true;
        if (s == QLatin1String("false"))
            return false;
        bool ok = false;
        const double d = s.toDouble(&ok);
        if (!ok)
            throw mismatch(fieldName(field));
        return d != 0;
    }
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool();
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        throw mismatch(fieldName(field));
    return d != 0;
}

bool DbResult::isNull(const QString& name) const { return isNull(indexOf(name)); }
QVariant DbResult::value(const QString& name) const { return value(indexOf(name)); }
QString DbResult::text(const QString& name) const { return text(indexOf(name)); }
QString DbResult::textOrEmpty(const QString& name) const { return textOrEmpty(indexOf(name)); }
double DbResult::number(const QString& name) const { return number(indexOf(name)); }
std::optional<double> DbResult::numberOrNull(const QString& name) const { return numberOrNull(indexOf(name)); }
QDateTime DbResult::dateTime(const QString& name) const { return dateTime(indexOf(name)); }
QDate DbResult::date(const QString& name) const { return date(indexOf(name)); }
bool DbResult::boolean(const QString& name) const { return boolean(indexOf(name)); }

} // namespace fee
