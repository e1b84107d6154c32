// Building the window from the shared report pieces and laying it out.
#include "reports/receipts_summary/ui/receiptssummarywindow.h"

#include "charts/chartpanel.h"
#include "core/grid/twips.h"
#include "widgets/datepicker.h"
#include "widgets/detailpanel.h"
#include "widgets/feeitemtreepanel.h"
#include "widgets/gridview.h"
#include "widgets/officelistpanel.h"
#include "widgets/sessionstatusbar.h"
#include "widgets/waitoverlay.h"
#include "widgets/windowhelpers.h"
#include "reports/receipts_summary/receiptschart.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/shared/ui/reportrun.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace fee {

namespace {
    // Sizes in twips, as the window was drawn.
    constexpr int kStripHeight = 480; // Picture2
    constexpr int kManagementWidth = 4500; // Frame1 and Picture1
    constexpr int kFrameGap = 30;
    constexpr int kOfficeListHeight = 2700; // Check1 and List1
    constexpr int kGridLeft = 60; // MSFlexGrid1 in Frame2
    constexpr int kButtonTop = 60;
    constexpr int kButtonWidth = 1200;
    constexpr int kButtonHeight = 345;
    // The left edges of 统计, 输出EXCEL, 打印 and 退出 in the strip.
    constexpr int kStartLeft = 5820;
    constexpr int kExportLeft = 7350;
    constexpr int kPrintLeft = 8865;
    constexpr int kExitLeft = 10455;
    constexpr int kChartLeft = 12045;

    QPushButton* newButton(int index, const char* caption, int left, QWidget* parent)
    {
        auto* button = new QPushButton(QString::fromUtf8(caption), parent);
        button->setObjectName(QStringLiteral("Command1_%1").arg(index));
        button->setGeometry(twipsRect(left, kButtonTop, kButtonWidth, kButtonHeight));
        return button;
    }

    QLabel* newLabel(const char* name, const char* text, QWidget* parent)
    {
        auto* label = new QLabel(QString::fromUtf8(text), parent);
        label->setObjectName(QString::fromUtf8(name));
        return label;
    }

    QDateEdit* newDatePicker(int index, QWidget* parent)
    {
        auto* picker = new DatePicker(parent);
        picker->setObjectName(QStringLiteral("DTPicker%1").arg(index));
        picker->setCalendarPopup(true);
        return picker;
    }

    // The height of a frame's caption line, above its contents.
    int captionHeight(const QWidget* frame) { return frame->fontMetrics().height() + 6; }
}

ReceiptsSummaryWindow::ReceiptsSummaryWindow(DbConnection& connection, const SessionInfo& session, QWidget* parent)
    : QWidget(parent)
    , m_connection(connection)
    , m_session(session)
{
    setObjectName(QStringLiteral("frm收款汇总表"));
    setWindowTitle(QStringLiteral("收款汇总表"));
    resize(1280, 760);

    buildButtonStrip();
    buildManagementFrame();
    buildDateOptions();
    buildSummaryFrame();
    buildDetailFrame();
    m_statusBar = new SessionStatusBar(SessionStatusBar::standardPanels(), this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);

    m_run = new ReportRun(this, m_wait, m_summaryView, m_connection);

    connect(m_start, &QPushButton::clicked, this, &ReceiptsSummaryWindow::startStatistics);
    connect(m_export, &QPushButton::clicked, this, &ReceiptsSummaryWindow::exportSummary);
    connect(m_exit, &QPushButton::clicked, this, [this] { windowFrame(this)->close(); });
    connect(m_print, &QPushButton::clicked, this, &ReceiptsSummaryWindow::printSummary);
    // An unticked cumulative range keeps its dates but cannot be changed.
    connect(m_monthToDate, &QCheckBox::toggled, this, [this](bool on) {
        m_monthStart->setEnabled(on);
        m_monthEnd->setEnabled(on);
    });
    connect(m_yearToDate, &QCheckBox::toggled, this, [this](bool on) {
        m_yearStart->setEnabled(on);
        m_yearEnd->setEnabled(on);
    });
    connect(m_summaryView, &GridView::cellClicked, this, &ReceiptsSummaryWindow::summaryClicked);
    connect(m_summaryView, &GridView::cellDoubleClicked, this, &ReceiptsSummaryWindow::summaryDoubleClicked);
    connect(m_emptyDetail, &QToolButton::clicked, this, &ReceiptsSummaryWindow::showEmptyDetail);
    connect(m_detailFrame, &DetailPanel::closeRequested, this, &ReceiptsSummaryWindow::closeDetail);
    connect(m_detailFrame, &DetailPanel::exportRequested, this, &ReceiptsSummaryWindow::exportDetail);
    connect(m_detailFrame->view(), &GridView::cellClicked, this, &ReceiptsSummaryWindow::detailClicked);

    buildChart();
    loadWindow();
    layoutWindow();
}

void ReceiptsSummaryWindow::buildChart()
{
    m_chart = new ChartPanel(QStringLiteral("ChartReceipts"), m_summaryFrame);
    m_chart->setFileBaseName(QStringLiteral("收款汇总图表"));
    m_chartToggle = m_chart->makeToggle(m_buttonStrip, [this] { layoutWindow(); });
    m_chartToggle->setGeometry(twipsRect(kChartLeft, kButtonTop, kButtonWidth, kButtonHeight));
    m_chart->follow(m_summaryView->model(), [this] { return receiptsCategoryChart(m_summary); });
    m_chart->selectRowsIn(m_summary, m_summaryView, 2, ReceiptsColumn::kOffice, [this](int row) { highlightSummaryRow(row); });
}

QWidget* ReceiptsSummaryWindow::buildButtonStrip()
{
    m_buttonStrip = new QFrame(this);
    m_buttonStrip->setObjectName(QStringLiteral("Picture2"));
    m_buttonStrip->setFrameShape(QFrame::StyledPanel);
    m_buttonStrip->installEventFilter(this);
    m_start = newButton(0, "统计", kStartLeft, m_buttonStrip);
    m_export = newButton(1, "输出EXCEL", kExportLeft, m_buttonStrip);
    m_exit = newButton(2, "退出", kExitLeft, m_buttonStrip);
    m_print = newButton(3, "打印", kPrintLeft, m_buttonStrip);
    m_exportProgress = new QProgressBar(m_buttonStrip);
    m_exportProgress->setObjectName(QStringLiteral("ProgressBar1"));
    m_exportProgress->hide();
    return m_buttonStrip;
}

QWidget* ReceiptsSummaryWindow::buildManagementFrame()
{
    m_managementFrame = new QGroupBox(QStringLiteral("管理项目"), this);
    m_managementFrame->setObjectName(QStringLiteral("Frame1"));
    auto* column = new QVBoxLayout(m_managementFrame);
    column->setContentsMargins(6, 4, 6, twipsToPixels(kFrameGap));
    column->setSpacing(4);

    OfficeListPanel::Options offices;
    offices.listName = QStringLiteral("List1");
    offices.selectAllName = QStringLiteral("Check1");
    offices.selectAllAbove = true;
    m_officeList = new OfficeListPanel(offices, m_managementFrame);
    m_officeList->setFixedHeight(twipsToPixels(kOfficeListHeight));
    column->addWidget(m_officeList);

    FeeItemTreePanel::Options fees;
    fees.selectAllName = QStringLiteral("Check2");
    fees.labelName = QStringLiteral("Label1");
    m_feeTree = new FeeItemTreePanel(fees, m_managementFrame);
    column->addWidget(m_feeTree, 1);
    return m_managementFrame;
}

QWidget* ReceiptsSummaryWindow::buildDateOptions()
{
    m_dateOptions = new QFrame(this);
    m_dateOptions->setObjectName(QStringLiteral("Picture1"));
    m_dateOptions->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(m_dateOptions);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    m_receiptStart = newDatePicker(1, m_dateOptions);
    m_receiptEnd = newDatePicker(2, m_dateOptions);
    grid->addWidget(newLabel("Label2", "收款日期", m_dateOptions), 0, 0);
    grid->addWidget(m_receiptStart, 0, 1);
    grid->addWidget(newLabel("Label3", "至", m_dateOptions), 0, 2);
    grid->addWidget(m_receiptEnd, 0, 3);

    m_monthToDate = new QCheckBox(QStringLiteral("月实收累计日期"), m_dateOptions);
    m_monthToDate->setObjectName(QStringLiteral("Check3"));
    m_monthStart = newDatePicker(3, m_dateOptions);
    m_monthEnd = newDatePicker(4, m_dateOptions);
    grid->addWidget(m_monthToDate, 1, 0, 1, 4);
    grid->addWidget(m_monthStart, 2, 1);
    grid->addWidget(newLabel("Label7", "至", m_dateOptions), 2, 2);
    grid->addWidget(m_monthEnd, 2, 3);

    m_yearToDate = new QCheckBox(QStringLiteral("年实收累计日期"), m_dateOptions);
    m_yearToDate->setObjectName(QStringLiteral("Check4"));
    m_yearStart = newDatePicker(5, m_dateOptions);
    m_yearEnd = newDatePicker(6, m_dateOptions);
    grid->addWidget(m_yearToDate, 3, 0, 1, 4);
    grid->addWidget(m_yearStart, 4, 1);
    grid->addWidget(newLabel("Label9", "至", m_dateOptions), 4, 2);
    grid->addWidget(m_yearEnd, 4, 3);

    m_paymentMethod = new QComboBox(m_dateOptions);
    m_paymentMethod->setObjectName(QStringLiteral("Combo2"));
    grid->addWidget(newLabel("Label4", "收款方式", m_dateOptions), 5, 0);
    grid->addWidget(m_paymentMethod, 5, 1, 1, 3);
    m_mode = new QComboBox(m_dateOptions);
    m_mode->setObjectName(QStringLiteral("Combo4"));
    grid->addWidget(newLabel("Label6", "统计方式", m_dateOptions), 6, 0);
    grid->addWidget(m_mode, 6, 1, 1, 3);
    return m_dateOptions;
}

QWidget* ReceiptsSummaryWindow::buildSummaryFrame()
{
    m_summaryFrame = new QGroupBox(QStringLiteral("收费汇总清单"), this);
    m_summaryFrame->setObjectName(QStringLiteral("Frame2"));
    m_summaryFrame->installEventFilter(this);
    m_summaryView = new GridView(m_summaryFrame);
    m_summaryView->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_summaryView->setGrid(&m_summary);

    m_emptyDetail = new QToolButton(m_summaryFrame);
    m_emptyDetail->setObjectName(QStringLiteral("Command2"));
    m_emptyDetail->setText(QStringLiteral("…"));

    m_wait = new WaitOverlay(QStringLiteral("WaitPanel1"), QStringLiteral("WaitLabel1"),
        QStringLiteral("请稍候，正在进行统计..."), m_summaryFrame);
    return m_summaryFrame;
}

void ReceiptsSummaryWindow::buildDetailFrame()
{
    DetailPanel::Options detail;
    detail.objectName = QStringLiteral("Frame3");
    detail.title = QStringLiteral("收费明细清单");
    detail.exportName = QStringLiteral("Command4");
    detail.exportText = QStringLiteral("输出EXCEL");
    detail.closeName = QStringLiteral("Command3");
    detail.closeText = QStringLiteral("关闭");
    detail.progressName = QStringLiteral("ProgressBar2");
    detail.gridName = QStringLiteral("MSFlexGrid2");
    detail.draggable = false;
    m_detailFrame = new DetailPanel(detail, &m_detail, this);
    m_detailFrame->setFrameShape(QFrame::StyledPanel);
    m_detailFrame->setAutoFillBackground(true);
    // The buttons hidden while a list is exported keep their room: the grid stays where it is.
    for (QWidget* button :
        { static_cast<QWidget*>(m_detailFrame->exportButton()), static_cast<QWidget*>(m_detailFrame->closeButton()) }) {
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
    }
    m_detailWait = new WaitOverlay(QStringLiteral("WaitPanel2"), QStringLiteral("WaitLabel2"),
        QStringLiteral("请稍候，正在统计明细..."), m_detailFrame);
}

void ReceiptsSummaryWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutWindow();
}

bool ReceiptsSummaryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == m_buttonStrip)
            layoutButtonStrip();
        else if (watched == m_summaryFrame && m_detailFrame->isVisible())
            placeDetailFrame();
    }
    return QWidget::eventFilter(watched, event);
}

// The window's rules, one after the other: the left column takes the height
// the strip, the options panel and the status bar leave, the summary frame
// the rest of the window.
void ReceiptsSummaryWindow::layoutWindow()
{
    const int inner = height();
    const int width = this->width();
    const int statusHeight = m_statusBar->sizeHint().height();
    const int stripHeight = twipsToPixels(kStripHeight);
    const int optionsHeight = m_dateOptions->sizeHint().height();
    const int leftWidth = twipsToPixels(kManagementWidth);
    const int left = twipsToPixels(kFrameGap);

    m_buttonStrip->setGeometry(0, 0, width, stripHeight);
    m_statusBar->setGeometry(0, inner - statusHeight, width, statusHeight);

    const int frame1Height = std::max(0, inner - statusHeight - optionsHeight - stripHeight - twipsToPixels(30));
    m_managementFrame->setGeometry(left, stripHeight, leftWidth, frame1Height);
    m_dateOptions->setGeometry(left, m_managementFrame->y() + frame1Height, leftWidth, optionsHeight);

    const int frame2Width = std::max(0, width - leftWidth - twipsToPixels(60));
    const int frame2Height = std::max(0, inner - statusHeight - stripHeight - twipsToPixels(120));
    m_summaryFrame->setGeometry(left + leftWidth + twipsToPixels(kFrameGap), stripHeight, frame2Width, frame2Height);

    const int gridTop = captionHeight(m_summaryFrame);
    const int gridWidth = std::max(0, frame2Width - twipsToPixels(120));
    const int gridHeight = std::max(0, frame2Height - gridTop - twipsToPixels(60));
    // The chart, while shown, takes the lower part of the grid's place.
    const int chartHeight = m_chart && m_chart->isVisible() ? gridHeight * 11 / 20 : 0;
    m_summaryView->setGeometry(twipsToPixels(kGridLeft), gridTop, gridWidth, gridHeight - chartHeight);
    if (chartHeight > 0)
        m_chart->setGeometry(twipsToPixels(kGridLeft), gridTop + gridHeight - chartHeight + 4, gridWidth, chartHeight - 4);
    const QSize button = m_emptyDetail->sizeHint();
    m_emptyDetail->setGeometry(frame2Width - twipsToPixels(kGridLeft) - button.width(), 0, button.width(), gridTop - 2);
    m_wait->recentre(m_summaryView);
}

// ProgressBar1 spans the strip from the left edge of 统计, as far from the right edge.
void ReceiptsSummaryWindow::layoutButtonStrip()
{
    const int left = m_start->x();
    const int height = m_buttonStrip->height();
    m_exportProgress->setGeometry(left, (height - 20) / 2, std::max(0, m_buttonStrip->width() - 2 * left), 20);
}

bool ReceiptsSummaryWindow::isRunning() const { return m_run->isRunning(); }

void ReceiptsSummaryWindow::closeEvent(QCloseEvent* event)
{
    if (!m_run->putOffClose(event))
        QWidget::closeEvent(event);
}

} // namespace fee
