#pragma once

#include <QDate>
#include <QString>

namespace fee {

// The company name the report windows show in their banner.
inline const char* const kCompanyLabel = "澄岳物业";

// "(" + office name + ")" + suffix: the titles of printed and exported
// reports ("(南区)收款日报表", "(南区) 收款日报表").
QString officeTitle(const QString& officeName, const QString& suffix);

// "日期范围:" + start + separator + end, the dates written "yyyy年mm月dd日"
// (2024年01月05日): the date line under a printed or exported title.
QString dateRangeLine(const QDate& start, const QDate& end, const QString& separator);

} // namespace fee
