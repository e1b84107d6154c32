#pragma once

#include "core/grid/gridmodel.h"
#include "core/officeentry.h"
#include "reports/receipts_summary/receiptsexport.h"
#include "reports/receipts_summary/receiptsselection.h"

#include <QStringList>
#include <QVector>
#include <QWidget>
#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace fee {

class ChartPanel;
class DbConnection;
class DetailPanel;
class FeeItemTreePanel;
class GridView;
class OfficeListPanel;
class ReportRun;
struct RunOutcome;
struct SessionInfo;
class SessionStatusBar;
class WaitOverlay;

// The receipts summary window (object name "frm收款汇总表", caption
// "收款汇总表"): the button strip on top, the offices and fee items with the
// dates and options on the left, the summary grid on the right with the
// detail frame that opens over it, the status bar at the bottom. Built from
// the shared report pieces; the figures come from ReceiptsEngine and
// the detail lists, both run on a worker thread over a sibling of the
// connection the window is given; it and the session outlive the window.
class ReceiptsSummaryWindow : public QWidget {
    Q_OBJECT
public:
    ReceiptsSummaryWindow(DbConnection& connection, const SessionInfo& session, QWidget* parent = nullptr);

    const GridModel& summaryGrid() const { return m_summary; }
    const GridModel& detailGrid() const { return m_detail; }
    // A statistics run or a detail list is being read.
    bool isRunning() const;
    // The rows a click highlighted last (0: none).
    int highlightedSummaryRow() const { return m_highlightedSummaryRow; }
    int highlightedDetailRow() const { return m_highlightedDetailRow; }

signals:
    // A statistics run or a detail list has ended (done, failed or
    // cancelled); the grid holds what it wrote.
    void statisticsEnded();
    void detailEnded();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building and laying out the controls (receiptssummarywindow.cpp).
    QWidget* buildButtonStrip();
    QWidget* buildManagementFrame();
    QWidget* buildDateOptions();
    QWidget* buildSummaryFrame();
    void buildDetailFrame();
    void layoutWindow();
    void layoutButtonStrip();

    // Opening and the selection panel (receiptssummarywindowload.cpp).
    void loadWindow();
    void loadOfficeList();
    void loadFeeItemTree();
    void loadPaymentMethods();
    ReceiptsSelection currentSelection() const;

    // The statistics run and the summary grid (receiptssummarywindowrun.cpp).
    void startStatistics();
    void statisticsFinished(const RunOutcome& outcome);
    bool isSummaryDataRow(int row) const;
    void summaryClicked(int row, int col);
    void summaryDoubleClicked(int row, int col);
    void highlightSummaryRow(int row);
    void buildChart();

    // The detail frame (receiptssummarywindowdetail.cpp).
    void placeDetailFrame();
    void showEmptyDetail();
    void openDetail(int row);
    void detailFinished(const RunOutcome& outcome);
    void closeDetail();
    void detailClicked(int row, int col);

    // Workbooks and the printout (receiptssummarywindowoutput.cpp).
    void exportSummary();
    void exportDetail();
    void printSummary();
    QString printedOfficeName() const;
    DateRange reportedRange() const;
    void showCommandButtons(bool shown);

    DbConnection& m_connection;
    const SessionInfo& m_session;
    GridModel m_summary;
    GridModel m_detail;
    QVector<Office> m_offices; // the office list as loaded
    QStringList m_paymentMethods; // the methods after "选择全部", as loaded

    QFrame* m_buttonStrip = nullptr; // Picture2
    QPushButton* m_start = nullptr; // Command1_0
    QPushButton* m_export = nullptr; // Command1_1
    QPushButton* m_exit = nullptr; // Command1_2
    QPushButton* m_print = nullptr; // Command1_3
    QPushButton* m_chartToggle = nullptr; // shows m_chart under the grid
    ChartPanel* m_chart = nullptr;
    QProgressBar* m_exportProgress = nullptr; // ProgressBar1
    QGroupBox* m_managementFrame = nullptr; // Frame1
    OfficeListPanel* m_officeList = nullptr;
    FeeItemTreePanel* m_feeTree = nullptr;
    QFrame* m_dateOptions = nullptr; // Picture1
    QDateEdit* m_receiptStart = nullptr;
    QDateEdit* m_receiptEnd = nullptr;
    QCheckBox* m_monthToDate = nullptr;
    QDateEdit* m_monthStart = nullptr;
    QDateEdit* m_monthEnd = nullptr;
    QCheckBox* m_yearToDate = nullptr;
    QDateEdit* m_yearStart = nullptr;
    QDateEdit* m_yearEnd = nullptr;
    QComboBox* m_paymentMethod = nullptr; // Combo2
    QComboBox* m_mode = nullptr; // Combo4
    QGroupBox* m_summaryFrame = nullptr; // Frame2
    GridView* m_summaryView = nullptr;
    QToolButton* m_emptyDetail = nullptr; // Command2
    WaitOverlay* m_wait = nullptr;
    DetailPanel* m_detailFrame = nullptr; // Frame3
    WaitOverlay* m_detailWait = nullptr;
    SessionStatusBar* m_statusBar = nullptr;

    // The selection of the run that filled the summary grid: its detail
    // lists, workbook and printout belong to it, whatever the panel shows now.
    std::optional<ReceiptsSelection> m_reported;
    ReceiptsDetailHeading m_detailHeading; // office and fee item of the row the detail list belongs to
    int m_highlightedSummaryRow = 0; // HighlightedSummaryRow
    int m_highlightedDetailRow = 0; // HighlightedDetailRow
    bool m_closeDetailRequested = false;
    ReportRun* m_run = nullptr; // a statistics run or a detail list
};

} // namespace fee
