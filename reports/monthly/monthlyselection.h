#pragma once

#include "core/officeentry.h"
#include "reports/shared/reportengine.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

namespace fee {

// What one run of the monthly collection-rate report covers.
struct MonthlySelection {
    QVector<Office> offices; // the ticked offices, in list order
    QStringList feeCodes; // the ticked fee items' codes, in tree order; never empty for a run
    QDate statisticsDate;
    QString reportYear; // "yyyy"; the year of the statistics date at the last run
};

// The checks of 开始统计, in the order they are made: the office list shows
// no entry at all (officesListed false), no office is ticked, no fee item is
// ticked. A refusal's message is the window's box under 系统提示; the command
// line prints its text.
SelectionCheck checkMonthlySelection(const MonthlySelection& selection, bool officesListed);

} // namespace fee
