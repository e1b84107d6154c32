#pragma once

#include "common/grid/gridmodel.h"
#include "reports/monthly/monthlyengine.h"

#include <QMap>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace fee {

class GridView;
class DraggableFrame;

// The monthly collection-rate report window (object name
// "frm物业费收缴率汇总月报", caption "物业费收缴率汇总月报"): the selection
// panel on the left, the summary grid with its drill-down panel on the right
// and the two workbook exports.
class MonthlyReportWindow : public QWidget {
    Q_OBJECT
public:
    explicit MonthlyReportWindow(QWidget* parent = nullptr);

    const GridModel& summaryGrid() const { return m_summary; }
    const GridModel& detailGrid() const { return m_detail; }
    bool isRunning() const { return m_running; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the controls.
    void buildBanner();
    void buildLeftPanel();
    void buildReportArea();
    void buildBottomBar();
    void buildDetailPanel();
    void buildStatusBar();
    QLabel* addLabel1(int index, const QString& text, QWidget* parent);
    void layoutReportArea();
    void updateClock();

    // Opening and the selection panel.
    void formLoad();
    void fillYearMonthLists();
    void loadOfficeList();
    void loadFeeItemTree();
    void optionClick(bool commercial);
    void check2Click(bool ticked);
    void check1Click(bool ticked);
    void treeNodeCheck(QTreeWidgetItem* node, int column);
    void propagateNodeCheck(QTreeWidgetItem* node);
    QVector<Office> tickedOffices() const;
    QStringList tickedFeeCodes() const;

    // The statistics run.
    void command3Click();
    void runStatistics(const QVector<Office>& offices);
    void closeAfterRun();

    // The drill-down.
    void msFlexGrid1Click(int row, int col);
    void markRow(int row);
    void btnBClick();
    void msFlexGrid2Click(int row, int col);

    // The exports.
    void command2Click();
    void command4Click();

    GridModel m_summary;
    GridModel m_detail;

    QMap<int, QLabel*> m_label1;
    QFrame* m_picture1 = nullptr;
    QFrame* m_picture2 = nullptr;
    QFrame* m_picture3 = nullptr;
    QFrame* m_picture4 = nullptr;
    QFrame* m_picture5 = nullptr;
    QFrame* m_picture6 = nullptr;
    DraggableFrame* m_picture7 = nullptr;
    QFrame* m_picture8 = nullptr;
    QFrame* m_picture9 = nullptr;
    QRadioButton* m_option1 = nullptr;
    QRadioButton* m_option2 = nullptr;
    QListWidget* m_list1 = nullptr;
    QCheckBox* m_check1 = nullptr;
    QCheckBox* m_check2 = nullptr;
    QDateEdit* m_dtPicker1 = nullptr;
    QComboBox* m_combo1 = nullptr;
    QComboBox* m_combo2 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command4 = nullptr;
    QTreeWidget* m_treeView1 = nullptr;
    GridView* m_msFlexGrid1 = nullptr;
    GridView* m_msFlexGrid2 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label3 = nullptr;
    QLabel* m_label4 = nullptr;
    QLabel* m_label19 = nullptr;
    QProgressBar* m_progressBar1 = nullptr;
    QToolButton* m_btnB = nullptr;
    QToolButton* m_image1 = nullptr;
    QStatusBar* m_statusBar1 = nullptr;
    QLabel* m_statusDate = nullptr;
    QLabel* m_statusTime = nullptr;

    QString m_reportYear; // "yyyy" of the statistics date at the last start
    QStringList m_feeCodes; // the ticked fee items at the last start
    int m_markedRow = 0; // summary row marked by the last click, 0 while none
    bool m_propagating = false;
    bool m_running = false;
    bool m_stopRequested = false;
    bool m_closeRequested = false;
};

} // namespace fee
