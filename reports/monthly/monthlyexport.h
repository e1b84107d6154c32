#pragma once

#include "core/grid/gridmodel.h"

#include <QDate>
#include <QString>
#include <functional>

namespace fee {

// What the summary workbook needs besides the grid.
struct SummaryWorkbookInfo {
    QString title; // report title, e.g. 住宅物业费收缴率汇总表
    QString company; // company label, 澄岳物业
    QDate statisticsDate;
};

// The summary workbook's date line (its cell A3): " 统计日期 : yyyy-mm-dd".
QString summaryDateLine(const QDate& statisticsDate);

// What the detail workbook needs besides the detail grid.
struct DetailWorkbookInfo {
    QString caption; // the panel caption, e.g. 【office item】明细
    QString company;
    QString year; // text of the year list
    QString month; // text of the month list
};

// Write the workbooks; savePath carries no extension (".xlsx" is added).
// progress(row) is called for every grid row written. Throw Failure; a failed
// write leaves any existing file untouched.
void writeMonthlySummaryWorkbook(const GridModel& summary, const SummaryWorkbookInfo& info, const QString& savePath,
    const std::function<void(int row)>& progress = {});
void writeMonthlyDetailWorkbook(const GridModel& detail, const DetailWorkbookInfo& info, const QString& savePath);

} // namespace fee
