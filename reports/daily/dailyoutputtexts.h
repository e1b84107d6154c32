#pragma once

#include <QDate>
#include <QString>

namespace fee {

// The sheet the daily list is exported to, in the export dialog and on the
// command line.
inline const char* const kDailySheetName = "收款日报表";

// The title and date line a printout or a workbook of the daily list carries.
struct DailyOutputTexts {
    QString title;
    QString dateLine;
};

// The office name the titles show: the text of the office entry after its
// first blank, the whole text when it has none (an empty entry gives an
// empty name, and the title then has nothing between its parentheses).
QString dailyOfficeName(const QString& officeEntry);

// "(南区)收款日报表" and "日期范围:2024年01月05日-2024年01月31日".
DailyOutputTexts dailyPrintTexts(const QString& officeName, const QDate& start, const QDate& end);
// "(南区) 收款日报表" and "日期范围:2024年01月05日至2024年01月31日".
DailyOutputTexts dailyExportTexts(const QString& officeName, const QDate& start, const QDate& end);

} // namespace fee
