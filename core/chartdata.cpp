#include "core/chartdata.h"

namespace fee {

std::optional<double> chartValue(const QString& text)
{
    QString figure = text.trimmed();
    if (figure.endsWith(QLatin1Char('%')))
        figure.chop(1);
    figure.remove(QLatin1Char(','));
    if (figure.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = figure.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace fee
