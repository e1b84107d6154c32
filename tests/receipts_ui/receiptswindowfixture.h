#pragma once

// What the receipts window tests share: the fee database, recorded boxes,
// save dialogs and printouts, and the steps of driving the window.

#include "common/messages.h"
#include "common/print/printgrid.h"
#include "reports/receipts_summary/ui/receiptssummarywindow.h"

#include <QColor>
#include <QDate>
#include <QObject>
#include <QTemporaryDir>
#include <memory>

class QListWidget;
class QTreeWidget;

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

// Runs statements on a database file; the error text, empty on success.
QString sql(const QString& path, const char* statement);
// Ticks the entries whose text starts with one of the codes + " ".
void tick(QListWidget* list, const QStringList& codes);
QStringList listTexts(const QListWidget* list);
QStringList checkedTexts(QTreeWidget* tree);
// The caption of a label, button or frame.
QString controlText(const QWidget* control);
// The texts of a column below the fixed rows.
QStringList column(const fee::GridModel& grid, int col);

template <class T> T* child(const QWidget* window, const char* name)
{
    return window->findChild<T*>(QString::fromUtf8(name));
}

QString panel7(const QWidget* window);

class ReceiptsWindowFixture : public QObject {
    Q_OBJECT

protected:
    // initTestCase and init of the tests.
    void setUpFixture();
    void clearRecords();

    void useDatabase(const QString& path);
    // A copy of the fixture the test may spoil.
    QString copyOfDatabase(const QString& name);
    // The window on the fixture (or another database), receipt dates March 2026.
    std::unique_ptr<fee::ReceiptsSummaryWindow> openWindow(const QString& database = {});
    static void waitForRun(fee::ReceiptsSummaryWindow* window);
    // Ticks offices and every fee item, presses 统计 and waits for the run.
    void runReport(fee::ReceiptsSummaryWindow* window, const QStringList& offices = { "01", "02" });
    static void clickSummary(fee::ReceiptsSummaryWindow* window, int row, int col);
    // A double click on the row; waits for the list.
    static void openDetail(fee::ReceiptsSummaryWindow* window, int row);

    QTemporaryDir m_dir;
    QString m_database;
    QList<fee::BoxRequest> m_boxes;
    QStringList m_offeredNames;
    QStringList m_offeredFilters;
    QString m_chosenName; // what the chooser answers; empty = cancel
    QList<fee::PrintGridOptions> m_printed;
    bool m_printerFails = false;
};

} // namespace receiptsui
