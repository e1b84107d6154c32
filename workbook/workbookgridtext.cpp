#include "workbook/workbookgridtext.h"

#include "core/textformat.h"
#include "workbook/workbookrange.h"

#include <QDate>
#include <QRegularExpression>

namespace fee {

namespace {

    // "-123.45": already what "#0.00" shows, and it types in as the same number.
    bool isTwoDecimalText(const QString& text)
    {
        const qsizetype n = text.size();
        const qsizetype start = n > 0 && text.at(0) == u'-' ? 1 : 0;
        if (n - start < 4 || text.at(n - 3) != u'.')
            return false;
        for (qsizetype i = start; i < n; ++i)
            if (i != n - 3 && !(text.at(i) >= u'0' && text.at(i) <= u'9'))
                return false;
        return true;
    }

} // namespace

QString moneyTypedText(const QString& gridText)
{
    // The grids' own money texts skip the reformatting: it is most of the time of a summary export.
    if (isTwoDecimalText(gridText))
        return gridText;
    bool ok = false;
    const double value = gridText.trimmed().toDouble(&ok);
    if (gridText.trimmed().isEmpty() || !ok)
        return gridText;
    return formatNumber(value, QStringLiteral("#0.00"));
}

void writeDateText(WorkbookRange cell, const QString& text)
{
    static const QRegularExpression isoDate(QStringLiteral(R"(^\d{4}-\d{2}-\d{2}$)"));
    const QDate date = isoDate.match(text).hasMatch() ? QDate::fromString(text, Qt::ISODate) : QDate();
    if (date.isValid() && date >= QDate(1900, 3, 1))
        cell.setDate(date);
    else
        cell.setValue(text);
}

} // namespace fee
