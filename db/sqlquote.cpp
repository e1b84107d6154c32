#include "db/sqlquote.h"

namespace fee {

QString sqlQuote(const QString& value)
{
    QString doubled = value;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString sqlQuoteList(const QStringList& values)
{
    QStringList quoted;
    quoted.reserve(values.size());
    for (const QString& value : values)
        quoted.append(sqlQuote(value));
    return quoted.join(QLatin1Char(','));
}

} // namespace fee
