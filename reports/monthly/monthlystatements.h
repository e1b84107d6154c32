#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

namespace fee {

// The values a monthly statement is built from.
struct MonthlyStatementInput {
    QString office; // GYD_DH
    QStringList feeCodes; // ticked item codes in tree order
    QDate statisticsDate;
    QString reportYear; // "yyyy" of the last run; the prepaid measures count from it
};

// One summing statement and the field its value is read from.
struct MeasureStatement {
    QString alias;
    QString statement;
};

// Summary columns that hold a measure, in the order the run sums them:
// 2, 3, 4, 8, 9..20, 22, 23, 27, 28, 29, 33, 34.
const QVector<int>& measureColumns();
bool isMeasureColumn(int column);

// The summing statements of the measure in a summary column (three for
// columns 2 and 3, one otherwise); their values are added. Empty for a column
// without a measure.
QVector<MeasureStatement> summingStatements(int column, const MonthlyStatementInput& input);

// The row conditions of a measure's summing statements (" And ..." over the
// ledger columns, placeholders filled) and whether it counts vacant units
// only: for tools that sum several measures in one pass (the benchmark's
// lower bound of the database's cost).
struct MeasureCondition {
    QString alias;
    QString conditions;
    bool vacancy = false;
};
QVector<MeasureCondition> measureConditions(int column, const MonthlyStatementInput& input);

// The statement listing the ledger rows behind a summary column; "" for a
// column without a detail. Month columns take their month from the column.
QString detailStatement(int column, const MonthlyStatementInput& input);

// Heading of the amount column of a detail: 应收金额, 减免金额 or 空置金额.
QString detailAmountHeading(int column);
// Format string of the 7-column detail grid.
QString detailFormatString(int column);

} // namespace fee
