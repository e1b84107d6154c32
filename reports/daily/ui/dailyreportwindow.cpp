// Building the window from the shared report pieces, laying it out, closing it.
#include "reports/daily/ui/dailyreportwindow.h"

#include "core/grid/twips.h"
#include "widgets/datepicker.h"
#include "widgets/feeitemtreepanel.h"
#include "widgets/frmtoexcel.h"
#include "widgets/gridview.h"
#include "widgets/sessionstatusbar.h"
#include "widgets/waitoverlay.h"
#include "widgets/windowhelpers.h"
#include "reports/shared/ui/reportrun.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace fee {

namespace {
    // Design places of the window, in twips.
    constexpr int kSelectionStripHeight = 525;
    constexpr int kFeeItemPanelWidth = 3375;
    constexpr int kButtonStripHeight = 555;
    constexpr int kGridLeft = 3420;
    constexpr int kGridTop = 570;
    constexpr int kGridRightGap = 60;
    constexpr int kGridBottomGap = 30;
    constexpr int kLabelHeight = 255;
    constexpr int kDesignWidth = 17085;
    constexpr int kDesignHeight = 9090; // down to the status bar

    QFrame* newStrip(const char* name, QWidget* parent)
    {
        auto* strip = new QFrame(parent);
        strip->setObjectName(QString::fromUtf8(name));
        strip->setFrameShape(QFrame::StyledPanel);
        return strip;
    }

    // A label of the Label1 array at its design place; never narrower than
    // its text, so no caption is cut in a wider font.
    QLabel* newLabel(int index, const char* text, QWidget* parent, int left, int top, int width)
    {
        auto* label = new QLabel(QString::fromUtf8(text), parent);
        label->setObjectName(QStringLiteral("Label1_%1").arg(index));
        const QRect place = twipsRect(left, top, width, kLabelHeight);
        label->setGeometry(place.x(), place.y(), std::max(place.width(), label->sizeHint().width()), place.height());
        return label;
    }

    QComboBox* newList(const char* name, QWidget* parent, const QRect& place)
    {
        auto* list = new QComboBox(parent);
        list->setObjectName(QString::fromUtf8(name));
        list->setGeometry(place);
        return list;
    }

    QDateEdit* newDatePicker(const char* name, QWidget* parent, const QRect& place)
    {
        auto* picker = new DatePicker(parent);
        picker->setObjectName(QString::fromUtf8(name));
        picker->setCalendarPopup(true);
        picker->setGeometry(place);
        return picker;
    }
}

DailyReportWindow::DailyReportWindow(DbConnection& connection, const SessionInfo& session, QWidget* parent)
    : QWidget(parent)
    , m_connection(connection)
    , m_session(session)
{
    setObjectName(QStringLiteral("frm收款日报表"));
    setWindowTitle(QStringLiteral("收款日报表（只统计应收）"));
    QFont windowFont(QStringLiteral("微软雅黑"));
    windowFont.setPointSizeF(9);
    setFont(windowFont);

    m_selectionStrip = buildSelectionStrip();
    m_feeItemPanel = buildFeeItemPanel();
    m_buttonStrip = buildButtonStrip();
    m_statusBar = new SessionStatusBar(
        {
            { SessionStatusBar::Role::Text, QStringLiteral("操作员") },
            { SessionStatusBar::Role::UserName },
            { SessionStatusBar::Role::Text, QStringLiteral("部门岗位") },
            { SessionStatusBar::Role::DepartmentName },
            { SessionStatusBar::Role::PositionName },
            { SessionStatusBar::Role::Message, QString(), true },
            { SessionStatusBar::Role::Date },
            { SessionStatusBar::Role::Time },
        },
        this);

    // The strips keep to their edges as the window's aligned panels do; the
    // grid fills the rest by the resize rules of layoutGrid.
    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->addWidget(m_feeItemPanel);
    middle->addStretch(1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(m_selectionStrip);
    outer->addLayout(middle, 1);
    outer->addWidget(m_buttonStrip);
    outer->addWidget(m_statusBar);

    m_gridView = new GridView(this);
    m_gridView->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_gridView->setGrid(&m_grid);
    m_wait = new WaitOverlay(QStringLiteral("PictureWait"), QStringLiteral("LabelWait"),
        QStringLiteral("正在进行报表统计，请稍等......"), this);

    for (QFrame* strip : { m_selectionStrip, m_feeItemPanel, m_buttonStrip })
        strip->installEventFilter(this);
    for (int index = Run; index <= Print; ++index) {
        connect(m_commands[index], &QPushButton::clicked, this,
            [this, index] { commandClicked(static_cast<Command>(index)); });
    }
    connect(m_gridView, &GridView::cellClicked, this, [this](int row, int) { gridClicked(row); });
    m_run = new ReportRun(this, m_wait, m_gridView, m_connection);

    resize(twipsToPixels(kDesignWidth), twipsToPixels(kDesignHeight) + m_statusBar->sizeHint().height());
    loadWindow();
}

DailyReportWindow::~DailyReportWindow() = default;

QFrame* DailyReportWindow::buildSelectionStrip()
{
    QFrame* strip = newStrip("Picture1_0", this);
    strip->setFixedHeight(twipsToPixels(kSelectionStripHeight));
    newLabel(6, "管理处", strip, 75, 150, 540);
    m_officeList = newList("Combo1", strip, twipsRect(675, 75, 2730, 375));
    newLabel(0, "收款日期", strip, 3795, 150, 720);
    m_startDate = newDatePicker("DTPicker1", strip, twipsRect(4605, 90, 1455, 375));
    newLabel(1, "至", strip, 6090, 150, 180);
    m_endDate = newDatePicker("DTPicker2", strip, twipsRect(6330, 90, 1455, 375));
    newLabel(3, "收款方式", strip, 7905, 150, 720);
    m_methodList = newList("Combo2", strip, twipsRect(8700, 90, 1485, 375));
    newLabel(4, "收款人", strip, 10290, 150, 540);
    m_payeeList = newList("Combo3", strip, twipsRect(10875, 90, 1425, 375));
    newLabel(5, "统计范围", strip, 12570, 165, 720);
    m_scopeList = newList("Combo4", strip, twipsRect(13350, 105, 1815, 375));
    return strip;
}

QFrame* DailyReportWindow::buildFeeItemPanel()
{
    QFrame* panel = newStrip("Picture1_2", this);
    panel->setFixedWidth(twipsToPixels(kFeeItemPanelWidth));
    auto* shape = new QFrame(panel);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setFrameShape(QFrame::Box);
    shape->setFrameShadow(QFrame::Sunken);
    FeeItemTreePanel::Options options;
    options.selectAllName = QStringLiteral("Check2");
    options.labelName = QStringLiteral("Label1_2");
    m_feeTree = new FeeItemTreePanel(options, shape);
    auto* inside = new QVBoxLayout(shape);
    inside->setContentsMargins(twipsToPixels(90), twipsToPixels(90), twipsToPixels(90), twipsToPixels(90));
    inside->addWidget(m_feeTree);
    auto* around = new QVBoxLayout(panel);
    around->setContentsMargins(twipsToPixels(30), twipsToPixels(30), twipsToPixels(30), twipsToPixels(30));
    around->addWidget(shape);
    return panel;
}

QFrame* DailyReportWindow::buildButtonStrip()
{
    QFrame* strip = newStrip("Picture1_1", this);
    strip->setFixedHeight(twipsToPixels(kButtonStripHeight));
    QFont stripFont(QStringLiteral("宋体"));
    stripFont.setPointSizeF(9);
    strip->setFont(stripFont);
    const struct {
        Command index;
        const char* caption;
        QRect place;
    } buttons[] = {
        { Run, "统计", twipsRect(4590, 120, 1335, 345) },
        { ExportToExcel, "输出EXCEL", twipsRect(5970, 120, 1605, 345) },
        { Print, "打印", twipsRect(7680, 120, 1335, 345) },
        { Exit, "退出", twipsRect(9090, 120, 1275, 345) },
    };
    for (const auto& button : buttons) {
        auto* command = new QPushButton(QString::fromUtf8(button.caption), strip);
        command->setObjectName(QStringLiteral("Command1_%1").arg(int(button.index)));
        command->setGeometry(button.place);
        m_commands[button.index] = command;
    }
    return strip;
}

bool DailyReportWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Picture1_Resize for any strip; the button strip also moves when only
    // the window's height changes, and the grid ends above it.
    const bool resized = event->type() == QEvent::Resize
        && (watched == m_selectionStrip || watched == m_feeItemPanel || watched == m_buttonStrip);
    const bool moved = event->type() == QEvent::Move && watched == m_buttonStrip;
    if (resized || moved)
        layoutGrid();
    return QWidget::eventFilter(watched, event);
}

void DailyReportWindow::layoutGrid()
{
    // The grid keeps its design place at the top left and reaches to 60
    // twips from the window's right edge and to 30 twips above the button
    // strip; the tree follows its panel's height through the panel's layout.
    const int left = twipsToPixels(kGridLeft);
    const int top = twipsToPixels(kGridTop);
    const int gridWidth = width() - left - twipsToPixels(kGridRightGap);
    const int gridHeight = m_buttonStrip->y() - top - twipsToPixels(kGridBottomGap);
    m_gridView->setGeometry(left, top, std::max(0, gridWidth), std::max(0, gridHeight));
    m_wait->recentre(m_gridView);
}

bool DailyReportWindow::isRunning() const { return m_run->isRunning(); }

void DailyReportWindow::closeEvent(QCloseEvent* event)
{
    if (!m_run->putOffClose(event))
        QWidget::closeEvent(event);
}

void DailyReportWindow::closeWindow() { windowFrame(this)->close(); }

} // namespace fee
