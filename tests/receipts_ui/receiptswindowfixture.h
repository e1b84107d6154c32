#pragma once

// What the receipts window tests share: the fee database, recorded boxes,
// save dialogs and printouts, and the steps of driving the window.

#include "print/printgrid.h"
#include "reports/receipts_summary/ui/receiptssummarywindow.h"
#include "tests/support/sqlitescript.h"
#include "tests/support/windowtest.h"

#include <QColor>
#include <QDate>
#include <memory>

namespace receiptsui {

inline const QDate kStart(2026, 3, 1);
inline const QDate kEnd(2026, 3, 31);
inline const QColor kHighlight(224, 224, 224);
inline const QColor kSubtotal(192, 255, 255);
inline const QColor kTotal(192, 192, 255);

// Grid rows of offices 01 and 02 over all fee items in March 2026.
constexpr int kHouseholdRow = 2; // 甲区 物业管理费, 汇总类别 2
constexpr int kRegistrationRow = 4; // 甲区 车位管理费, 3
constexpr int kSpaceRow = 5; // 甲区 车位管理费, 4
constexpr int kInvoiceRow = 6; // 甲区 押金 21, 1
constexpr int kSubtotalRow = 8; // 甲区 小计
constexpr int kTotalRow = 11; // 合计

using fee::testing::checkedTexts;
using fee::testing::child;
using fee::testing::controlText;
using fee::testing::listTexts;
using fee::testing::runSqliteScript;
using fee::testing::showSelfDeleting;
using fee::testing::tick;
using fee::testing::waitForRun;

// The texts of a column below the fixed rows.
QStringList column(const fee::GridModel& grid, int col);

QString panel7(const QWidget* window);

class ReceiptsWindowFixture : public fee::testing::WindowTestHarness {
protected:
    // initTestCase and init of the tests.
    void setUpFixture();
    void clearRecords();

    static void useDatabase(const QString& path);
    // A copy of the fixture the test may spoil.
    QString copyOfDatabase(const QString& name);
    // The window on the fixture (or another database), receipt dates March 2026.
    std::unique_ptr<fee::ReceiptsSummaryWindow> openWindow(const QString& database = {});
    // Ticks offices and every fee item, presses 统计 and waits for the run.
    void runReport(fee::ReceiptsSummaryWindow* window, const QStringList& offices = { "01", "02" });
    static void clickSummary(fee::ReceiptsSummaryWindow* window, int row, int col);
    // A double click on the row; waits for the list.
    static void openDetail(fee::ReceiptsSummaryWindow* window, int row);

    QString m_database;
    QList<fee::PrintGridOptions> m_printed;
    bool m_printerFails = false;
};

} // namespace receiptsui
