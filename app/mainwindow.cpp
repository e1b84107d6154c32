#include "app/mainwindow.h"

#include "app/aboutdialog.h"
#include "app/bannerstrip.h"
#include "app/programexit.h"
#include "core/messages.h"
#include "core/sessioninfo.h"
#include "widgets/windowhelpers.h"
#include "db/dbconnection.h"
#include "reports/daily/ui/dailyreportwindow.h"
#include "reports/monthly/ui/monthlyreportwindow.h"
#include "reports/receipts_summary/ui/receiptssummarywindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QVBoxLayout>

namespace fee {

namespace {
    QString& backgroundPath()
    {
        static QString path;
        return path;
    }
} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_banner(new BannerStrip)
    , m_mdiArea(new QMdiArea)
    , m_picture(backgroundFile())
{
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("物业管理费报表"));
    setWindowIcon(QIcon(QStringLiteral(":/app/icon.png")));

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_banner);
    layout->addWidget(m_mdiArea, 1);
    setCentralWidget(central);

    m_mdiArea->setObjectName(QStringLiteral("MDIClient"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->viewport()->installEventFilter(this);

    buildMenus();
    resize(1024, 720);
    renderBackground();
}

QString MainWindow::backgroundFile()
{
    if (!backgroundPath().isEmpty())
        return backgroundPath();
    // A site may put its own picture beside the program; an installed
    // program finds the one it came with in its data folder (/usr/share/fee-reports).
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/MDI.BMP");
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/fee-reports/MDI.BMP");
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return QDir::cleanPath(installed);
    return beside;
}

void MainWindow::setBackgroundFile(const QString& path) { backgroundPath() = path; }

void MainWindow::buildMenus()
{
    auto addItem = [this](QMenu* menu, const QString& caption, auto slot) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(caption);
        if (slot)
            connect(action, &QAction::triggered, this, slot);
        return action;
    };
    using Slot = void (MainWindow::*)();

    QMenu* reports = menuBar()->addMenu(QStringLiteral("统计报表"));
    reports->setObjectName(QStringLiteral("统计报表"));
    addItem(reports, QStringLiteral("物业费收缴率汇总月报"), &MainWindow::openMonthlyReport);
    reports->addSeparator();
    addItem(reports, QStringLiteral("收款日报表"), &MainWindow::openDailyReport);
    addItem(reports, QStringLiteral("收款汇总表"), &MainWindow::openReceiptsSummary);

    QMenu* quit = menuBar()->addMenu(QStringLiteral("退出系统"));
    quit->setObjectName(QStringLiteral("退出系统"));
    addItem(quit, QStringLiteral("退出"), &MainWindow::quitNow);

    QMenu* about = menuBar()->addMenu(QStringLiteral("关于"));
    about->setObjectName(QStringLiteral("关于"));
    addItem(about, QStringLiteral("关于软件"), &MainWindow::openAbout);
    addItem(about, QStringLiteral("联系我们"), Slot(nullptr));
}

QAction* MainWindow::menuAction(const QString& caption) const
{
    for (QAction* action : findChildren<QAction*>(caption)) {
        if (action->menu() == nullptr)
            return action;
    }
    return nullptr;
}

QMdiSubWindow* MainWindow::showChild(QPointer<QMdiSubWindow>& slot, QWidget* (*make)())
{
    if (!slot) {
        QWidget* child = make();
        child->setAttribute(Qt::WA_DeleteOnClose);
        // A window opens at the size it gave itself, plus the child frame.
        const QSize designed = child->size();
        const bool sized = child->testAttribute(Qt::WA_Resized);
        slot = m_mdiArea->addSubWindow(child);
        slot->setAttribute(Qt::WA_DeleteOnClose);
        if (sized) {
            slot->adjustSize();
            slot->resize(designed + (slot->size() - child->size()));
        }
        // A window opens whole inside the client area: centred when it fits,
        // filling the area when it does not (never half out of sight behind
        // scroll bars on the frame).
        const QSize room = m_mdiArea->viewport()->size();
        const QSize least = slot->minimumSizeHint().expandedTo(slot->minimumSize());
        if (slot->width() > room.width() || slot->height() > room.height() || least.width() > room.width()
            || least.height() > room.height()) {
            slot->showMaximized();
        } else {
            slot->move((room.width() - slot->width()) / 2, (room.height() - slot->height()) / 2);
        }
    }
    slot->show();
    slot->raise();
    m_mdiArea->setActiveSubWindow(slot);
    return slot;
}

QMdiSubWindow* MainWindow::openMonthlyReport()
{
    return showChild(m_monthly,
        [] { return static_cast<QWidget*>(new MonthlyReportWindow(DbConnection::shared(), sessionInfo())); });
}

QMdiSubWindow* MainWindow::openDailyReport()
{
    QMdiSubWindow* sub = showChild(m_daily,
        [] { return static_cast<QWidget*>(new DailyReportWindow(DbConnection::shared(), sessionInfo())); });
    // The daily list opens filling the main window.
    sub->showMaximized();
    return sub;
}

QMdiSubWindow* MainWindow::openReceiptsSummary()
{
    QMdiSubWindow* sub = showChild(m_receipts,
        [] { return static_cast<QWidget*>(new ReceiptsSummaryWindow(DbConnection::shared(), sessionInfo())); });
    // The receipts summary, too, opens filling the main window.
    sub->showMaximized();
    return sub;
}

QMdiSubWindow* MainWindow::openAbout()
{
    const bool loading = !m_about;
    QMdiSubWindow* sub = showChild(m_about, [] { return static_cast<QWidget*>(new AboutDialog); });
    if (loading) {
        sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        CenterInMdi(sub, m_mdiArea->viewport());
    }
    return sub;
}

void MainWindow::quitNow() { endProgram(0); }

void MainWindow::closeEvent(QCloseEvent* event)
{
    const BoxAnswer answer = showBox({ QStringLiteral("确认要退出系统吗？"), QString::fromUtf8(kSystemTitle),
        BoxIcon::Information, BoxButtons::YesNo });
    if (answer != BoxAnswer::Yes) {
        event->ignore();
        return;
    }
    endProgram(0);
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mdiArea->viewport() && event->type() == QEvent::Resize)
        renderBackground();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::renderBackground()
{
    // The picture stretched to the whole client area, redrawn at every size.
    const QSize size = m_mdiArea->viewport()->size();
    if (size.isEmpty())
        return;
    QImage image(size, QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    if (!m_picture.isNull()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), size), m_picture);
    }
    m_renderedBackground = image;
    m_mdiArea->setBackground(QBrush(QPixmap::fromImage(image)));
}

} // namespace fee
