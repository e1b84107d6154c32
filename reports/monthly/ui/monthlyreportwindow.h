#pragma once

#include "core/grid/gridmodel.h"
#include "reports/monthly/monthlyengine.h"

#include <QStringList>
#include <QWidget>

class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
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

// The monthly collection-rate report window (object name
// "frm物业费收缴率汇总月报", caption "物业费收缴率汇总月报"): the selection
// panel on the left, the summary grid with its detail panel on the right and
// the two workbook exports. Built from the shared report pieces; the figures
// come from MonthlyEngine. Its lists are read and its runs go over the
// connection it is given (a sibling for each run); both it and the session
// outlive the window.
class MonthlyReportWindow : public QWidget {
    Q_OBJECT
public:
    MonthlyReportWindow(DbConnection& connection, const SessionInfo& session, QWidget* parent = nullptr);

    const GridModel& summaryGrid() const { return m_summary; }
    const GridModel& detailGrid() const { return m_detail; }
    bool isRunning() const;
    // The figure the drill button stands for, if it is shown.
    const DrillKey& pendingDetail() const { return m_drillKey; }

signals:
    void detailRequested(const fee::DrillKey& key);
    // A statistics run has ended (done, failed or cancelled); the grid holds
    // what it wrote.
    void statisticsEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building and laying out the controls.
    QWidget* buildBanner();
    QWidget* buildSelectionPanel();
    QWidget* buildReportArea();
    QWidget* buildBottomBar();
    void layoutReportArea();
    void buildChart();

    // Opening and the selection panel.
    void loadWindow();
    void fillYearMonthLists();
    void loadOfficeList();
    void loadFeeItemTree();
    void switchPropertyKind(bool commercial);
    // The empty summary grid of a report year, as the engine lays it out.
    void layoutSummary(const QString& reportYear);

    // The statistics run, on a worker thread.
    void startStatistics();
    void runStatistics(const MonthlySelection& selection);
    void statisticsFinished(const RunOutcome& outcome);

    // The detail list.
    void summaryClicked(int row, int col);
    void markRow(int row);
    void showDetail(const DrillKey& key);
    void detailFinished(const RunOutcome& outcome);
    void hideDetail();

    // The exports.
    void exportSummary();
    void exportDetail();

    DbConnection& m_connection;
    const SessionInfo& m_session;
    GridModel m_summary;
    GridModel m_detail;
    QVector<Office> m_offices; // the office list as loaded

    QLabel* m_banner = nullptr;
    QLabel* m_company = nullptr;
    QFrame* m_reportArea = nullptr;
    QFrame* m_titleBox = nullptr;
    QLabel* m_title = nullptr;
    QFrame* m_bottomBar = nullptr;
    QRadioButton* m_residential = nullptr;
    QRadioButton* m_commercial = nullptr;
    OfficeListPanel* m_officeList = nullptr;
    FeeItemTreePanel* m_feeTree = nullptr;
    QDateEdit* m_statisticsDate = nullptr;
    QComboBox* m_yearList = nullptr;
    QComboBox* m_monthList = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_exit = nullptr;
    QPushButton* m_export = nullptr;
    GridView* m_summaryView = nullptr;
    WaitOverlay* m_wait = nullptr;
    QLabel* m_exportWait = nullptr;
    QProgressBar* m_exportProgress = nullptr;
    QToolButton* m_drillButton = nullptr;
    DetailPanel* m_detailPanel = nullptr;
    SessionStatusBar* m_statusBar = nullptr;
    ChartPanel* m_chart = nullptr; // below the grid while m_chartToggle is down
    QPushButton* m_chartToggle = nullptr;

    QString m_reportYear; // "yyyy" of the statistics date at the last start
    QStringList m_feeCodes; // the ticked fee items at the last start
    DrillKey m_drillKey; // the figure under the drill button
    QString m_drillOfficeName; // its office's name, for the detail's caption
    QDate m_drillDate; // the statistics date when it was clicked
    int m_markedRow = 0; // summary row marked by the last click, 0 while none
    ReportRun* m_run = nullptr; // a statistics run or a detail list

};

} // namespace fee
