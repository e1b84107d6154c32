#include "db/resultsource.h"

#include <QDateTime>

namespace fee {

ResultSource::~ResultSource() = default;

QString ResultSource::valueText(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.metaType().id()) {
    case QMetaType::QDateTime: {
        const QDateTime at = value.toDateTime();
        if (at.time() == QTime(0, 0))
            return at.date().toString(QStringLiteral("yyyy-MM-dd"));
        return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    default:
        return value.toString();
    }
}

} // namespace fee
