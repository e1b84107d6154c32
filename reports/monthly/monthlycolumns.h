#pragma once

#include <QString>

namespace fee {

class GridModel;

// The columns of the monthly summary grid: the one place that names them,
// for the engine, the workbook export, the window and the tests.
namespace monthly {

    constexpr int kColumnCount = 39;
    constexpr int kHeadingRows = 2;

    constexpr int kSerial = 0;
    constexpr int kName = 1; // office name; "合计" in the totals row
    // Arrears of earlier years.
    constexpr int kArrears = 2;
    constexpr int kArrearsCollected = 3;
    constexpr int kArrearsWaived = 4;
    constexpr int kArrearsUnpaid = 5;
    constexpr int kArrearsRateWithWaivers = 6;
    constexpr int kArrearsRate = 7;
    // This year.
    constexpr int kDue = 8;
    constexpr int kFirstMonth = 9; // January; December is kFirstMonth + 11
    constexpr int kCollected = 21;
    constexpr int kWaived = 22;
    constexpr int kVacant = 23;
    constexpr int kUnpaid = 24;
    constexpr int kRateWithWaivers = 25;
    constexpr int kRate = 26;
    // Prepaid later years.
    constexpr int kPrepaidNextYear = 27;
    constexpr int kPrepaidYearAfter = 28;
    constexpr int kPrepaidLater = 29;
    constexpr int kPrepaid = 30;
    constexpr int kReceived = 31;
    // This year up to the statistics month.
    constexpr int kMonthCount = 32;
    constexpr int kDueToDate = 33;
    constexpr int kCollectedToDate = 34;
    constexpr int kUnpaidToDate = 35;
    constexpr int kRateToDate = 36;
    constexpr int kAllUnpaid = 37;
    constexpr int kOfficeCode = 38; // hidden: the office code shown; the row's key is what a detail reads

    // Columns whose office figures the totals row adds up.
    bool isTotalled(int column);
    // Columns holding a rate or the month count rather than money.
    bool isRateOrCount(int column);

    // 39 columns, the two heading rows with their merges, line breaks, widths
    // and alignments; the rows below the headings are cut.
    void layoutSummaryGrid(GridModel& grid, const QString& reportYear);

} // namespace monthly

// The detail list's seven columns (heading row, one Data row per ledger row,
// the Total row "合计" under the address).
namespace MonthlyDetailColumn {
    constexpr int kColumnCount = 7;
    constexpr int kSerial = 0;
    constexpr int kAddress = 1;
    constexpr int kName = 2;
    constexpr int kItem = 3;
    constexpr int kPeriod = 4;
    constexpr int kAmount = 5;
    constexpr int kCollected = 6;
} // namespace MonthlyDetailColumn

} // namespace fee
