#include "reports/monthly/ui/monthlyreportwindow.h"

#include "common/widgets/gridview.h"
#include "reports/monthly/ui/draggableframe.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace fee {

namespace {
    // Twips to pixels at the usual 96 dpi.
    constexpr int px(int twips) { return (twips + 7) / 15; }

    constexpr int kBannerHeight = 48;
    constexpr int kLeftPanelWidth = 290;
    constexpr int kBottomBarHeight = 40;
    constexpr int kTitleBoxHeight = 36;
    constexpr int kGridLeft = 4;
    constexpr int kGridTop = kTitleBoxHeight + 8;
    constexpr int kDetailPanelWidth = 820;
    constexpr int kDetailGridTop = 34;

    QFrame* newBox(const char* name, QWidget* parent, QFrame::Shape shape = QFrame::NoFrame)
    {
        auto* box = new QFrame(parent);
        box->setObjectName(QString::fromUtf8(name));
        box->setFrameShape(shape);
        return box;
    }

    QPushButton* newButton(const char* name, const char* caption, QWidget* parent)
    {
        auto* button = new QPushButton(QString::fromUtf8(caption), parent);
        button->setObjectName(QString::fromUtf8(name));
        return button;
    }
}

MonthlyReportWindow::MonthlyReportWindow(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frm物业费收缴率汇总月报"));
    setWindowTitle(QStringLiteral("物业费收缴率汇总月报"));
    resize(1200, 760);

    buildBanner();
    buildLeftPanel();
    buildReportArea();
    buildBottomBar();
    buildDetailPanel();
    buildStatusBar();

    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    right->addWidget(m_picture3, 1);
    right->addWidget(m_picture4);

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(m_picture2);
    middle->addLayout(right, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(m_picture1);
    outer->addLayout(middle, 1);
    outer->addWidget(m_statusBar1);

    formLoad();
}

QLabel* MonthlyReportWindow::addLabel1(int index, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label1_%1").arg(index));
    m_label1.insert(index, label);
    return label;
}

void MonthlyReportWindow::buildBanner()
{
    m_picture1 = newBox("Picture1", this, QFrame::StyledPanel);
    m_picture1->setFixedHeight(kBannerHeight);
    m_picture1->setAutoFillBackground(true);
    QPalette pal = m_picture1->palette();
    pal.setColor(QPalette::Window, QColor(0, 84, 147));
    pal.setColor(QPalette::WindowText, Qt::white);
    m_picture1->setPalette(pal);

    QLabel* banner = addLabel1(1, QStringLiteral("物业费收缴率汇总月报"), m_picture1);
    QFont bannerFont = banner->font();
    bannerFont.setPointSize(16);
    bannerFont.setBold(true);
    banner->setFont(bannerFont);
    banner->setGeometry(12, 0, kLeftPanelWidth + 200, kBannerHeight);

    QLabel* company = addLabel1(0, QStringLiteral("公司名称"), m_picture1);
    QFont companyFont = company->font();
    companyFont.setPointSize(12);
    company->setFont(companyFont);
    company->setAlignment(Qt::AlignCenter);
}

void MonthlyReportWindow::buildLeftPanel()
{
    m_picture2 = newBox("Picture2", this, QFrame::StyledPanel);
    m_picture2->setFixedWidth(kLeftPanelWidth);
    auto* column = new QVBoxLayout(m_picture2);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);

    auto* kinds = new QHBoxLayout;
    m_option1 = new QRadioButton(QStringLiteral("住宅物业"), m_picture2);
    m_option1->setObjectName(QStringLiteral("Option1"));
    m_option1->setChecked(true);
    m_option2 = new QRadioButton(QStringLiteral("商用物业"), m_picture2);
    m_option2->setObjectName(QStringLiteral("Option2"));
    kinds->addWidget(m_option1);
    kinds->addWidget(m_option2);
    kinds->addStretch(1);
    column->addLayout(kinds);

    column->addWidget(addLabel1(11, QStringLiteral("请勾选管理处"), m_picture2));
    m_list1 = new QListWidget(m_picture2);
    m_list1->setObjectName(QStringLiteral("List1"));
    column->addWidget(m_list1, 2);
    m_check2 = new QCheckBox(QStringLiteral("全选"), m_picture2);
    m_check2->setObjectName(QStringLiteral("Check2"));
    column->addWidget(m_check2);

    m_picture6 = newBox("Picture6", m_picture2, QFrame::StyledPanel);
    auto* dateBox = new QGridLayout(m_picture6);
    dateBox->setContentsMargins(6, 6, 6, 6);
    dateBox->addWidget(addLabel1(10, QStringLiteral("报表统计截止日期"), m_picture6), 0, 0, 1, 2);
    m_dtPicker1 = new QDateEdit(m_picture6);
    m_dtPicker1->setObjectName(QStringLiteral("DTPicker1"));
    m_dtPicker1->setCalendarPopup(true);
    dateBox->addWidget(m_dtPicker1, 0, 2, 1, 2);
    m_combo1 = new QComboBox(m_picture6);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    dateBox->addWidget(m_combo1, 1, 0);
    dateBox->addWidget(addLabel1(13, QStringLiteral("年"), m_picture6), 1, 1);
    m_combo2 = new QComboBox(m_picture6);
    m_combo2->setObjectName(QStringLiteral("Combo2"));
    dateBox->addWidget(m_combo2, 1, 2);
    dateBox->addWidget(addLabel1(2, QStringLiteral("月"), m_picture6), 1, 3);
    m_command3 = newButton("Command3", "开始统计", m_picture6);
    m_command3->setMinimumHeight(30);
    dateBox->addWidget(m_command3, 2, 0, 1, 4);
    column->addWidget(m_picture6);

    m_picture9 = newBox("Picture9", m_picture2, QFrame::StyledPanel);
    auto* feeBox = new QVBoxLayout(m_picture9);
    feeBox->setContentsMargins(6, 6, 6, 6);
    auto* feeHead = new QHBoxLayout;
    feeHead->addWidget(addLabel1(3, QStringLiteral("收费项目"), m_picture9));
    feeHead->addStretch(1);
    m_check1 = new QCheckBox(QStringLiteral("全选"), m_picture9);
    m_check1->setObjectName(QStringLiteral("Check1"));
    feeHead->addWidget(m_check1);
    feeBox->addLayout(feeHead);
    m_treeView1 = new QTreeWidget(m_picture9);
    m_treeView1->setObjectName(QStringLiteral("TreeView1"));
    m_treeView1->setHeaderHidden(true);
    m_treeView1->setColumnCount(1);
    // Long item names with end dates scroll instead of being cut.
    m_treeView1->header()->setStretchLastSection(false);
    m_treeView1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    feeBox->addWidget(m_treeView1, 1);
    column->addWidget(m_picture9, 3);

    // Only a change of the choice reloads; pressing the chosen option again keeps the ticks.
    connect(m_option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optionClick(false);
    });
    connect(m_option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optionClick(true);
    });
    connect(m_check2, &QCheckBox::toggled, this, &MonthlyReportWindow::check2Click);
    connect(m_check1, &QCheckBox::toggled, this, &MonthlyReportWindow::check1Click);
    connect(m_treeView1, &QTreeWidget::itemChanged, this, &MonthlyReportWindow::treeNodeCheck);
    connect(m_command3, &QPushButton::clicked, this, &MonthlyReportWindow::command3Click);
}

void MonthlyReportWindow::buildReportArea()
{
    m_picture3 = newBox("Picture3", this);
    m_picture3->installEventFilter(this);

    m_picture8 = newBox("Picture8", m_picture3);
    m_label19 = new QLabel(m_picture8);
    m_label19->setObjectName(QStringLiteral("Label19"));
    m_label19->setAlignment(Qt::AlignCenter);
    QFont titleFont = m_label19->font();
    titleFont.setPointSize(15);
    titleFont.setBold(true);
    m_label19->setFont(titleFont);
    auto* titleLayout = new QHBoxLayout(m_picture8);
    titleLayout->setContentsMargins(0, 0, 0, 0);
    titleLayout->addWidget(m_label19);

    m_msFlexGrid1 = new GridView(m_picture3);
    m_msFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_msFlexGrid1->setGrid(&m_summary);
    connect(m_msFlexGrid1, &GridView::cellClicked, this, &MonthlyReportWindow::msFlexGrid1Click);

    m_picture5 = newBox("Picture5", m_picture3, QFrame::Panel);
    m_picture5->setFrameShadow(QFrame::Raised);
    m_picture5->setAutoFillBackground(true);
    m_label3 = new QLabel(QStringLiteral("正在进行报表统计，请稍等......"), m_picture5);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setAlignment(Qt::AlignCenter);
    auto* waitLayout = new QHBoxLayout(m_picture5);
    waitLayout->addWidget(m_label3);
    m_picture5->resize(360, 64);
    m_picture5->hide();

    m_label2 = new QLabel(QStringLiteral("正在导出数据，请稍等......"), m_picture3);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setAlignment(Qt::AlignCenter);
    m_label2->setFrameShape(QFrame::Panel);
    m_label2->setAutoFillBackground(true);
    m_label2->resize(360, 40);
    m_label2->hide();

    m_btnB = new QToolButton(m_picture3);
    m_btnB->setObjectName(QStringLiteral("btnB"));
    m_btnB->setText(QStringLiteral("…"));
    m_btnB->setToolTip(QStringLiteral("明细"));
    m_btnB->hide();
    connect(m_btnB, &QToolButton::clicked, this, &MonthlyReportWindow::btnBClick);
}

void MonthlyReportWindow::buildBottomBar()
{
    m_picture4 = newBox("Picture4", this, QFrame::StyledPanel);
    m_picture4->setFixedHeight(kBottomBarHeight);
    m_picture4->installEventFilter(this);
    m_progressBar1 = new QProgressBar(m_picture4);
    m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar1->hide();
    m_command2 = newButton("Command2", "导出Excel", m_picture4);
    m_command1 = newButton("Command1", "退出", m_picture4);
    connect(m_command1, &QPushButton::clicked, this, [this] {
        QWidget* frame = parentWidget() && parentWidget()->inherits("QMdiSubWindow") ? parentWidget() : this;
        frame->close();
    });
    connect(m_command2, &QPushButton::clicked, this, &MonthlyReportWindow::command2Click);
}

void MonthlyReportWindow::buildDetailPanel()
{
    m_picture7 = new DraggableFrame(m_picture3);
    m_picture7->setObjectName(QStringLiteral("Picture7"));
    m_label4 = new QLabel(QStringLiteral("明细"), m_picture7);
    m_label4->setObjectName(QStringLiteral("Label4"));
    QFont captionFont = m_label4->font();
    captionFont.setBold(true);
    m_label4->setFont(captionFont);
    // Presses on the caption move the panel like presses on the panel itself.
    m_label4->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_command4 = newButton("Command4", "导出Excel", m_picture7);
    m_image1 = new QToolButton(m_picture7);
    m_image1->setObjectName(QStringLiteral("Image1_0"));
    m_image1->setAutoRaise(true);
    m_image1->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_image1->setToolTip(QStringLiteral("关闭"));
    m_msFlexGrid2 = new GridView(m_picture7);
    m_msFlexGrid2->setObjectName(QStringLiteral("MSFlexGrid2"));
    m_msFlexGrid2->setGrid(&m_detail);
    m_picture7->hide();

    connect(m_image1, &QToolButton::clicked, m_picture7, &QWidget::hide);
    connect(m_command4, &QPushButton::clicked, this, &MonthlyReportWindow::command4Click);
    connect(m_msFlexGrid2, &GridView::cellClicked, this, &MonthlyReportWindow::msFlexGrid2Click);
}

void MonthlyReportWindow::buildStatusBar()
{
    m_statusBar1 = new QStatusBar(this);
    m_statusBar1->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar1->setSizeGripEnabled(false);
    const QStringList fixedTexts { QStringLiteral("操作员"), QString(), QStringLiteral("部门"), QString(),
        QStringLiteral("岗位"), QString(), QString(), QString(), QString() };
    for (int i = 0; i < fixedTexts.size(); ++i) {
        auto* panel = new QLabel(fixedTexts[i], m_statusBar1);
        panel->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i + 1));
        panel->setContentsMargins(6, 0, 6, 0);
        m_statusBar1->addWidget(panel, i == 6 ? 1 : 0);
    }
    m_statusDate = m_statusBar1->findChild<QLabel*>(QStringLiteral("StatusBar1_Panel8"));
    m_statusTime = m_statusBar1->findChild<QLabel*>(QStringLiteral("StatusBar1_Panel9"));
    updateClock();
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &MonthlyReportWindow::updateClock);
    clock->start(1000);
}

void MonthlyReportWindow::updateClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_statusDate->setText(now.date().toString(QStringLiteral("yyyy-MM-dd")));
    m_statusTime->setText(now.time().toString(QStringLiteral("HH:mm:ss")));
}

bool MonthlyReportWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && (watched == m_picture3 || watched == m_picture4))
        layoutReportArea();
    return QWidget::eventFilter(watched, event);
}

void MonthlyReportWindow::layoutReportArea()
{
    const int width = m_picture3->width();
    const int height = m_picture3->height();

    m_picture8->setGeometry(std::max(0, (width - 600) / 2), 4, std::min(600, width), kTitleBoxHeight);
    QLabel* company = m_label1.value(0);
    const int companyWidth = 300;
    company->setGeometry(m_picture3->x() + (width - companyWidth) / 2, 0, companyWidth, kBannerHeight);

    m_msFlexGrid1->setGeometry(
        kGridLeft, kGridTop, std::max(0, width - kGridLeft - px(60)), std::max(0, height - kGridTop - px(60)));
    const QRect grid = m_msFlexGrid1->geometry();
    m_picture5->move(grid.center() - QPoint(m_picture5->width() / 2, m_picture5->height() / 2));
    m_label2->move(grid.center() - QPoint(m_label2->width() / 2, m_label2->height() / 2));

    const int panelWidth = std::min(kDetailPanelWidth, std::max(200, width - 8));
    m_picture7->setGeometry((width - panelWidth) / 2, kGridTop, panelWidth, std::max(80, height - kGridTop));
    m_label4->setGeometry(8, 4, panelWidth - 160, kDetailGridTop - 8);
    m_command4->setGeometry(panelWidth - 130, 4, 90, kDetailGridTop - 8);
    m_image1->setGeometry(panelWidth - 32, 4, 26, kDetailGridTop - 8);
    m_msFlexGrid2->setGeometry(6, kDetailGridTop, panelWidth - 12, m_picture7->height() - kDetailGridTop - px(105));

    const int barWidth = m_picture4->width();
    const int barHeight = m_picture4->height();
    m_progressBar1->setGeometry(px(30), (barHeight - 22) / 2, barWidth - px(60), 22);
    const int buttonWidth = 96;
    const int margin = 10;
    m_command2->setGeometry(margin, (barHeight - 28) / 2, buttonWidth, 28);
    m_command1->setGeometry(barWidth - margin - buttonWidth, (barHeight - 28) / 2, buttonWidth, 28);
}

void MonthlyReportWindow::closeEvent(QCloseEvent* event)
{
    // A run lets window events through between offices; the window must
    // outlive it, so ask it to stop and close once it has.
    if (m_running) {
        m_stopRequested = true;
        m_closeRequested = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void MonthlyReportWindow::closeAfterRun()
{
    if (!m_closeRequested)
        return;
    m_closeRequested = false;
    QWidget* frame = parentWidget() && parentWidget()->inherits("QMdiSubWindow") ? parentWidget() : this;
    QTimer::singleShot(0, frame, [frame] { frame->close(); });
}

} // namespace fee
