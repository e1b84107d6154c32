// Building the window from the shared report pieces and laying it out.
#include "reports/monthly/ui/monthlyreportwindow.h"

#include "widgets/chartpanel.h"
#include "core/grid/twips.h"
#include "widgets/datepicker.h"
#include "widgets/detailpanel.h"
#include "widgets/feeitemtreepanel.h"
#include "widgets/gridview.h"
#include "widgets/officelistpanel.h"
#include "widgets/sessionstatusbar.h"
#include "widgets/waitoverlay.h"
#include "widgets/windowhelpers.h"
#include "reports/monthly/monthlychart.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/shared/ui/reportrun.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace fee {

namespace {
    constexpr int kBannerHeight = 48;
    constexpr int kLeftPanelWidth = 290;
    constexpr int kBottomBarHeight = 40;
    constexpr int kTitleBoxHeight = 36;
    constexpr int kGridLeft = 4;
    constexpr int kGridTop = kTitleBoxHeight + 8;
    constexpr int kDetailPanelWidth = 820;

    QFrame* newBox(const char* name, QWidget* parent, QFrame::Shape shape = QFrame::NoFrame)
    {
        auto* box = new QFrame(parent);
        box->setObjectName(QString::fromUtf8(name));
        box->setFrameShape(shape);
        return box;
    }

    QLabel* newLabel(int index, const QString& text, QWidget* parent)
    {
        auto* label = new QLabel(text, parent);
        label->setObjectName(QStringLiteral("Label1_%1").arg(index));
        return label;
    }

    QPushButton* newButton(const char* name, const char* caption, QWidget* parent)
    {
        auto* button = new QPushButton(QString::fromUtf8(caption), parent);
        button->setObjectName(QString::fromUtf8(name));
        return button;
    }
}

MonthlyReportWindow::MonthlyReportWindow(DbConnection& connection, const SessionInfo& session, QWidget* parent)
    : QWidget(parent)
    , m_connection(connection)
    , m_session(session)
{
    setObjectName(QStringLiteral("frm物业费收缴率汇总月报"));
    setWindowTitle(QStringLiteral("物业费收缴率汇总月报"));
    resize(1200, 760);

    QWidget* banner = buildBanner();
    QWidget* selection = buildSelectionPanel();
    QWidget* report = buildReportArea();
    QWidget* bottom = buildBottomBar();
    m_statusBar = new SessionStatusBar(SessionStatusBar::standardPanels(), this);

    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    right->addWidget(report, 1);
    right->addWidget(bottom);
    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(selection);
    middle->addLayout(right, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(banner);
    outer->addLayout(middle, 1);
    outer->addWidget(m_statusBar);

    connect(m_residential, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            switchPropertyKind(false);
    });
    connect(m_commercial, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            switchPropertyKind(true);
    });
    connect(m_start, &QPushButton::clicked, this, &MonthlyReportWindow::startStatistics);
    connect(m_exit, &QPushButton::clicked, this, [this] { windowFrame(this)->close(); });
    connect(m_export, &QPushButton::clicked, this, &MonthlyReportWindow::exportSummary);
    connect(m_summaryView, &GridView::cellClicked, this, &MonthlyReportWindow::summaryClicked);
    connect(m_drillButton, &QToolButton::clicked, this, [this] { emit detailRequested(m_drillKey); });
    connect(this, &MonthlyReportWindow::detailRequested, this, &MonthlyReportWindow::showDetail);
    connect(m_detailPanel, &DetailPanel::closeRequested, this, &MonthlyReportWindow::hideDetail);
    connect(m_detailPanel, &DetailPanel::exportRequested, this, &MonthlyReportWindow::exportDetail);
    connect(m_detailPanel->view(), &GridView::cellClicked, this, [this](int row, int) {
        // A click on the detail grid selects its whole row.
        GridView* view = m_detailPanel->view();
        QAbstractItemModel* model = view->model();
        if (row < 0 || row >= model->rowCount())
            return;
        view->selectionModel()->select(
            QItemSelection(model->index(row, 0), model->index(row, model->columnCount() - 1)),
            QItemSelectionModel::ClearAndSelect);
    });
    m_run = new ReportRun(this, m_wait, m_summaryView, m_connection);

    buildChart();
    loadWindow();
}

void MonthlyReportWindow::buildChart()
{
    m_chart = new ChartPanel(QStringLiteral("ChartRate"), m_reportArea);
    m_chart->setFileBaseName(QStringLiteral("收缴率图表"));
    m_chartToggle = m_chart->makeToggle(m_bottomBar, [this] { layoutReportArea(); });
    m_chart->follow(m_summaryView->model(), [this] { return monthly::rateChart(m_summary); });
    m_chart->selectRowsIn(m_summary, m_summaryView, monthly::kHeadingRows, monthly::kName, [this](int row) { markRow(row); });
}

QWidget* MonthlyReportWindow::buildBanner()
{
    QFrame* box = newBox("Picture1", this, QFrame::StyledPanel);
    box->setFixedHeight(kBannerHeight);
    box->setAutoFillBackground(true);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Window, QColor(0, 84, 147));
    pal.setColor(QPalette::WindowText, Qt::white);
    box->setPalette(pal);

    m_banner = newLabel(1, QStringLiteral("物业费收缴率汇总月报"), box);
    QFont bannerFont = m_banner->font();
    bannerFont.setPointSize(16);
    bannerFont.setBold(true);
    m_banner->setFont(bannerFont);
    m_banner->setGeometry(12, 0, kLeftPanelWidth + 200, kBannerHeight);

    m_company = newLabel(0, QStringLiteral("公司名称"), box);
    QFont companyFont = m_company->font();
    companyFont.setPointSize(12);
    m_company->setFont(companyFont);
    m_company->setAlignment(Qt::AlignCenter);
    return box;
}

QWidget* MonthlyReportWindow::buildSelectionPanel()
{
    QFrame* panel = newBox("Picture2", this, QFrame::StyledPanel);
    panel->setFixedWidth(kLeftPanelWidth);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);

    auto* kinds = new QHBoxLayout;
    m_residential = new QRadioButton(QStringLiteral("住宅物业"), panel);
    m_residential->setObjectName(QStringLiteral("Option1"));
    m_residential->setChecked(true);
    m_commercial = new QRadioButton(QStringLiteral("商用物业"), panel);
    m_commercial->setObjectName(QStringLiteral("Option2"));
    kinds->addWidget(m_residential);
    kinds->addWidget(m_commercial);
    kinds->addStretch(1);
    column->addLayout(kinds);

    OfficeListPanel::Options offices;
    offices.listName = QStringLiteral("List1");
    offices.selectAllName = QStringLiteral("Check2");
    offices.labelName = QStringLiteral("Label1_11");
    offices.labelText = QStringLiteral("请勾选管理处");
    offices.captionFollowsTick = true;
    m_officeList = new OfficeListPanel(offices, panel);
    column->addWidget(m_officeList, 2);

    QFrame* dateBox = newBox("Picture6", panel, QFrame::StyledPanel);
    auto* dates = new QGridLayout(dateBox);
    dates->setContentsMargins(6, 6, 6, 6);
    dates->addWidget(newLabel(10, QStringLiteral("报表统计截止日期"), dateBox), 0, 0, 1, 2);
    m_statisticsDate = new DatePicker(dateBox);
    m_statisticsDate->setObjectName(QStringLiteral("DTPicker1"));
    m_statisticsDate->setCalendarPopup(true);
    dates->addWidget(m_statisticsDate, 0, 2, 1, 2);
    m_yearList = new QComboBox(dateBox);
    m_yearList->setObjectName(QStringLiteral("Combo1"));
    dates->addWidget(m_yearList, 1, 0);
    dates->addWidget(newLabel(13, QStringLiteral("年"), dateBox), 1, 1);
    m_monthList = new QComboBox(dateBox);
    m_monthList->setObjectName(QStringLiteral("Combo2"));
    dates->addWidget(m_monthList, 1, 2);
    dates->addWidget(newLabel(2, QStringLiteral("月"), dateBox), 1, 3);
    m_start = newButton("Command3", "开始统计", dateBox);
    m_start->setMinimumHeight(30);
    dates->addWidget(m_start, 2, 0, 1, 4);
    column->addWidget(dateBox);

    QFrame* feeBox = newBox("Picture9", panel, QFrame::StyledPanel);
    auto* feeLayout = new QVBoxLayout(feeBox);
    feeLayout->setContentsMargins(6, 6, 6, 6);
    FeeItemTreePanel::Options fees;
    fees.labelName = QStringLiteral("Label1_3");
    // Select-all works only while a year is chosen in the year list.
    fees.selectAllAllowed = [this] { return m_yearList->currentIndex() >= 0; };
    m_feeTree = new FeeItemTreePanel(fees, feeBox);
    feeLayout->addWidget(m_feeTree, 1);
    column->addWidget(feeBox, 3);
    return panel;
}

QWidget* MonthlyReportWindow::buildReportArea()
{
    m_reportArea = newBox("Picture3", this);
    m_reportArea->installEventFilter(this);

    m_titleBox = newBox("Picture8", m_reportArea);
    m_title = new QLabel(m_titleBox);
    m_title->setObjectName(QStringLiteral("Label19"));
    m_title->setAlignment(Qt::AlignCenter);
    QFont titleFont = m_title->font();
    titleFont.setPointSize(15);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    auto* titleLayout = new QHBoxLayout(m_titleBox);
    titleLayout->setContentsMargins(0, 0, 0, 0);
    titleLayout->addWidget(m_title);

    m_summaryView = new GridView(m_reportArea);
    m_summaryView->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_summaryView->setGrid(&m_summary);

    m_wait = new WaitOverlay(QStringLiteral("Picture5"), QStringLiteral("Label3"),
        QStringLiteral("正在进行报表统计，请稍等......"), m_reportArea);

    m_exportWait = new QLabel(QStringLiteral("正在导出数据，请稍等......"), m_reportArea);
    m_exportWait->setObjectName(QStringLiteral("Label2"));
    m_exportWait->setAlignment(Qt::AlignCenter);
    m_exportWait->setFrameShape(QFrame::Panel);
    m_exportWait->setAutoFillBackground(true);
    m_exportWait->resize(360, 40);
    m_exportWait->hide();

    m_drillButton = new QToolButton(m_reportArea);
    m_drillButton->setObjectName(QStringLiteral("btnB"));
    m_drillButton->setText(QStringLiteral("…"));
    m_drillButton->setToolTip(QStringLiteral("明细"));
    m_drillButton->hide();

    DetailPanel::Options detail;
    detail.objectName = QStringLiteral("Picture7");
    detail.captionName = QStringLiteral("Label4");
    detail.captionText = QStringLiteral("明细");
    detail.exportName = QStringLiteral("Command4");
    detail.exportText = QStringLiteral("导出Excel");
    detail.closeName = QStringLiteral("Image1_0");
    detail.draggable = true;
    m_detailPanel = new DetailPanel(detail, &m_detail, m_reportArea);
    return m_reportArea;
}

QWidget* MonthlyReportWindow::buildBottomBar()
{
    m_bottomBar = newBox("Picture4", this, QFrame::StyledPanel);
    m_bottomBar->setFixedHeight(kBottomBarHeight);
    m_bottomBar->installEventFilter(this);
    m_exportProgress = new QProgressBar(m_bottomBar);
    m_exportProgress->setObjectName(QStringLiteral("ProgressBar1"));
    m_exportProgress->hide();
    m_export = newButton("Command2", "导出Excel", m_bottomBar);
    m_exit = newButton("Command1", "退出", m_bottomBar);
    return m_bottomBar;
}

bool MonthlyReportWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && (watched == m_reportArea || watched == m_bottomBar))
        layoutReportArea();
    return QWidget::eventFilter(watched, event);
}

void MonthlyReportWindow::layoutReportArea()
{
    const int width = m_reportArea->width();
    const int height = m_reportArea->height();

    m_titleBox->setGeometry(std::max(0, (width - 600) / 2), 4, std::min(600, width), kTitleBoxHeight);
    const int companyWidth = 300;
    m_company->setGeometry(m_reportArea->x() + (width - companyWidth) / 2, 0, companyWidth, kBannerHeight);

    const int gridWidth = std::max(0, width - kGridLeft - twipsToPixels(60));
    const int gridHeight = std::max(0, height - kGridTop - twipsToPixels(60));
    // The chart, while shown, takes the lower part of the grid's place.
    const int chartHeight = m_chart && m_chart->isVisible() ? gridHeight * 11 / 20 : 0;
    m_summaryView->setGeometry(kGridLeft, kGridTop, gridWidth, gridHeight - chartHeight);
    if (chartHeight > 0)
        m_chart->setGeometry(kGridLeft, kGridTop + gridHeight - chartHeight + 4, gridWidth, chartHeight - 4);
    m_wait->recentre(m_summaryView);
    const QRect grid = m_summaryView->geometry();
    m_exportWait->move(grid.center() - QPoint(m_exportWait->width() / 2, m_exportWait->height() / 2));

    const int panelWidth = std::min(kDetailPanelWidth, std::max(200, width - 8));
    m_detailPanel->setGeometry((width - panelWidth) / 2, kGridTop, panelWidth, std::max(80, height - kGridTop));

    const int barWidth = m_bottomBar->width();
    const int barHeight = m_bottomBar->height();
    m_exportProgress->setGeometry(twipsToPixels(30), (barHeight - 22) / 2, barWidth - twipsToPixels(60), 22);
    const int buttonWidth = 96;
    const int margin = 10;
    m_export->setGeometry(margin, (barHeight - 28) / 2, buttonWidth, 28);
    if (m_chartToggle)
        m_chartToggle->setGeometry(margin * 2 + buttonWidth, (barHeight - 28) / 2, buttonWidth, 28);
    m_exit->setGeometry(barWidth - margin - buttonWidth, (barHeight - 28) / 2, buttonWidth, 28);
}

bool MonthlyReportWindow::isRunning() const { return m_run->isRunning(); }

void MonthlyReportWindow::closeEvent(QCloseEvent* event)
{
    if (!m_run->putOffClose(event))
        QWidget::closeEvent(event);
}

} // namespace fee
