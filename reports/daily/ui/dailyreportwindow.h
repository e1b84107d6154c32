#pragma once

#include "core/grid/gridmodel.h"
#include "widgets/frmtoexcel.h"
#include "reports/daily/dailyselection.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QDateEdit;
class QFrame;
class QPushButton;

namespace fee {

class DbConnection;
class FeeItemTreePanel;
class GridView;
class ReportRun;
struct RunOutcome;
struct SessionInfo;
class SessionStatusBar;
class WaitOverlay;

// The daily receipts list window (object name "frm收款日报表", caption
// "收款日报表（只统计应收）"): the selection strip along the top, the fee-item
// tree on the left, the result grid, and the buttons 统计, 输出EXCEL, 打印 and
// 退出 along the bottom. Built from the shared report pieces; the rows come
// from DailyEngine on a worker thread, over a sibling of the connection the
// window is given; it and the session outlive the window.
class DailyReportWindow : public QWidget {
    Q_OBJECT
public:
    // The buttons of the bottom strip, by their index in Command1.
    enum Command { Run = 0, ExportToExcel = 1, Exit = 2, Print = 3 };

    DailyReportWindow(DbConnection& connection, const SessionInfo& session, QWidget* parent = nullptr);
    ~DailyReportWindow() override;

    const GridModel& resultGrid() const { return m_grid; }
    bool isRunning() const;
    // The grid row the last click highlighted; 0 while none.
    int highlightedRow() const { return m_highlightedRow; }
    // The export dialog while it is open.
    FrmToExcel* exportDialog() const { return m_exportDialog; }

    // The selection the panel shows now.
    DailySelection currentSelection() const;

signals:
    // A statistics run has ended (done, failed or cancelled); the grid holds
    // what it wrote.
    void statisticsEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building and laying out the controls.
    QFrame* buildSelectionStrip();
    QFrame* buildFeeItemPanel();
    QFrame* buildButtonStrip();
    void layoutGrid();

    // Opening: the lists and the initial state.
    void loadWindow();
    void loadOfficeList();
    void loadFeeItemTree();
    void loadPaymentMethods();
    void loadPayees();

    // The buttons: each action's failure is shown in one error box.
    void commandClicked(Command command);
    void startStatistics();
    void statisticsFinished(const RunOutcome& outcome);
    void closeWindow();
    void printResult();
    void exportResult();

    void gridClicked(int row);
    // 打印 and 输出EXCEL (and an open export dialog's 输出) while no run
    // fills the grid.
    void setOutputsEnabled(bool enabled);
    // Before a list the last run did not finish is printed or written:
    // true when the user still wants it.
    bool outputIncompleteList(const QString& action);
    QString incompleteQuestion(const QString& action) const;

    DbConnection& m_connection;
    const SessionInfo& m_session;
    GridModel m_grid;

    QFrame* m_selectionStrip = nullptr; // Picture1(0)
    QFrame* m_feeItemPanel = nullptr; // Picture1(2)
    QFrame* m_buttonStrip = nullptr; // Picture1(1)
    QComboBox* m_officeList = nullptr;
    QDateEdit* m_startDate = nullptr;
    QDateEdit* m_endDate = nullptr;
    QComboBox* m_methodList = nullptr;
    QComboBox* m_payeeList = nullptr;
    QComboBox* m_scopeList = nullptr;
    FeeItemTreePanel* m_feeTree = nullptr;
    GridView* m_gridView = nullptr;
    WaitOverlay* m_wait = nullptr;
    QPushButton* m_commands[4] = {};
    SessionStatusBar* m_statusBar = nullptr;
    QPointer<FrmToExcel> m_exportDialog;

    int m_highlightedRow = 0;
    bool m_incomplete = false; // the last run was cancelled or failed: no 合计 row
    ReportRun* m_run = nullptr;
};

} // namespace fee
