#include "reports/shared/selectionresolver.h"

#include "reports/shared/selectionlists.h"

#include <QSet>

namespace fee {

namespace {
    bool isAll(const QStringList& codes) { return codes == QStringList { QStringLiteral("all") }; }
}

QVector<Office> tickedOffices(const QVector<Office>& list, const QVector<bool>& ticked)
{
    QVector<Office> offices;
    for (qsizetype i = 0; i < list.size() && i < ticked.size(); ++i) {
        if (ticked.at(i))
            offices.append(officeFromEntryText(officeEntryText(list.at(i))));
    }
    return offices;
}

QVector<Office> officesByCode(const QVector<Office>& list, const QStringList& codes, QString* error)
{
    // The code a run uses is the entry's text before its first blank, as in
    // the window, even for a stored code that holds a blank.
    QVector<Office> entries;
    for (const Office& office : list)
        entries.append(officeFromEntryText(officeEntryText(office)));
    if (isAll(codes))
        return entries;
    QSet<QString> known;
    for (const Office& office : entries)
        known.insert(office.code);
    for (const QString& code : codes) {
        if (!known.contains(code)) {
            if (error)
                *error = QStringLiteral("office %1 is not in the office list").arg(code);
            return {};
        }
    }
    const QSet<QString> wanted(codes.cbegin(), codes.cend());
    QVector<Office> offices;
    QSet<QString> taken;
    for (const Office& office : entries) {
        if (wanted.contains(office.code) && !taken.contains(office.code)) {
            offices.append(office);
            taken.insert(office.code);
        }
    }
    return offices;
}

QStringList feeCodesByCode(const QVector<FeeCategory>& tree, const QStringList& codes, QString* error)
{
    const QStringList known = allFeeCodes(tree);
    if (isAll(codes))
        return known;
    for (const QString& code : codes) {
        if (!known.contains(code)) {
            if (error)
                *error = QStringLiteral("fee item %1 does not exist").arg(code);
            return {};
        }
    }
    const QSet<QString> wanted(codes.cbegin(), codes.cend());
    QStringList chosen;
    for (const QString& code : known) {
        if (wanted.contains(code) && !chosen.contains(code))
            chosen.append(code);
    }
    return chosen;
}

QString listEntryByName(
    const QStringList& names, const QString& value, const QString& kind, const QString& listName, QString* error)
{
    if (isAll({ value }))
        return QString::fromUtf8(kChooseAll);
    if (names.contains(value))
        return value;
    if (error)
        *error = QStringLiteral("%1 %2 is not in %3").arg(kind, value, listName);
    return {};
}

QStringList splitCodeList(const QString& text)
{
    QStringList codes;
    for (const QString& part : text.split(QLatin1Char(','))) {
        if (!part.trimmed().isEmpty())
            codes.append(part.trimmed());
    }
    return codes;
}

} // namespace fee
