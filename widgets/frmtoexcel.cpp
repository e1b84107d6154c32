#include "widgets/frmtoexcel.h"

#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "core/grid/twips.h"
#include "core/messages.h"
#include "widgets/gridview.h"
#include "widgets/windowhelpers.h"
#include "workbook/gridsheetexport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <atomic>
#include <optional>

namespace fee {

namespace {

    const QString kTick = QStringLiteral("√");
    const char* const kExportKey = "输出";
    const char* const kQuitKey = "退出";
    constexpr int kClientWidth = 6585; // twips
    constexpr int kClientHeight = 2010;

    QWidget* findMdiClientArea()
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* area = top->findChild<QMdiArea*>(QStringLiteral("MDIClient")))
                return area->viewport();
        return nullptr;
    }

} // namespace

// Forgets the source grid when it goes before the dialog does.
class FrmToExcel::SourceWatch : public GridObserver {
public:
    explicit SourceWatch(FrmToExcel& dialog)
        : m_dialog(dialog)
    {
    }
    void gridReset() override { }
    void gridRowsInserted(int, int) override { }
    void gridCellsChanged(int, int, int, int) override { }
    void gridLayoutChanged() override { }
    void gridDestroyed() override { m_dialog.m_sourceGrid = nullptr; }

private:
    FrmToExcel& m_dialog;
};

FrmToExcel::FrmToExcel(QWidget* mainWindow, QWidget* mdiClientArea)
    : QWidget(mainWindow, Qt::Window)
    , m_watch(std::make_unique<SourceWatch>(*this))
{
    setObjectName(QStringLiteral("frmToExcel"));
    setWindowTitle(QStringLiteral("输出到Excel表"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_toolbar1 = new QToolBar(this);
    m_toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const struct {
        const char* caption;
        const char* key;
        QStyle::StandardPixmap icon;
    } buttons[] = { { " 输  出 ", kExportKey, QStyle::SP_DialogSaveButton },
        { " 退  出 ", kQuitKey, QStyle::SP_DialogCloseButton } };
    for (const auto& b : buttons) {
        QAction* action = m_toolbar1->addAction(style()->standardIcon(b.icon), QString::fromUtf8(b.caption));
        const QString key = QString::fromUtf8(b.key);
        action->setObjectName(key);
        action->setData(key);
        connect(action, &QAction::triggered, this, [this, key] { toolbar1ButtonClick(key); });
    }
    layout->addWidget(m_toolbar1);

    // The form keeps the designed size at least and grows with the dialog:
    // the text boxes and the column chooser take the room, the captions
    // keep theirs and a margin around them.
    auto* area = new QWidget(this);
    area->setMinimumSize(twipsSize(kClientWidth, kClientHeight));
    auto* form = new QGridLayout(area);
    form->setContentsMargins(twipsToPixels(120), twipsToPixels(90), twipsToPixels(120), twipsToPixels(60));
    form->setHorizontalSpacing(twipsToPixels(90));
    form->setVerticalSpacing(twipsToPixels(60));
    layout->addWidget(area, 1);

    const char* const captions[] = { "Excel文件路径和名称", "文档标题", "工作表名称" };
    for (int i = 0; i < 3; ++i) {
        m_label1[i] = new QLabel(QString::fromUtf8(captions[i]), area);
        m_label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        m_text1[i] = new QLineEdit(area);
        m_text1[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
    }
    m_command1 = new QToolButton(area);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    connect(m_command1, &QToolButton::clicked, this, [this] { command1Click(); });

    auto* fileRow = new QHBoxLayout;
    fileRow->setSpacing(2);
    fileRow->addWidget(m_text1[0], 1);
    fileRow->addWidget(m_command1);
    form->addWidget(m_label1[0], 0, 0);
    form->addLayout(fileRow, 0, 1, 1, 3);
    form->addWidget(m_label1[1], 1, 0);
    form->addWidget(m_text1[1], 1, 1);
    form->addWidget(m_label1[2], 1, 2);
    form->addWidget(m_text1[2], 1, 3);
    form->setColumnStretch(1, 3);
    form->setColumnStretch(3, 2);

    m_check1 = new QCheckBox(QStringLiteral("输出时启动Microsoft Excel程序"), area);
    m_check1->setObjectName(QStringLiteral("Check1"));
    form->addWidget(m_check1, 2, 0, 1, 4);

    m_grid1 = new GridView(area);
    m_grid1->setObjectName(QStringLiteral("Grid1"));
    // Its two rows and a scroll bar at first; the room the dialog gains later.
    m_grid1->setMinimumHeight(twipsToPixels(900));
    m_grid1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    form->addWidget(m_grid1, 3, 0, 1, 4);
    form->setRowStretch(3, 1);
    GridModel& chooserGrid = m_grid1->grid();
    chooserGrid.setRows(2);
    chooserGrid.setCols(0);
    chooserGrid.setFixedRows(1);
    chooserGrid.setFixedCols(0);
    connect(m_grid1, &GridView::cellClicked, this, [this](int, int col) { grid1Click(col); });
    connect(m_grid1, &GridView::cellDoubleClicked, this, [this](int, int col) { grid1DblClick(col); });

    m_statusBar1 = new QStatusBar(this);
    m_statusBar1->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar1->setSizeGripEnabled(false);
    m_hint = new QLabel(m_statusBar1);
    m_hint->setObjectName(QStringLiteral("StatusBar1_Panel1"));
    m_statusBar1->addWidget(m_hint, 1);
    m_progress = new QProgressBar(m_statusBar1);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setMaximumWidth(twipsToPixels(2400));
    m_progress->hide();
    m_statusBar1->addPermanentWidget(m_progress);
    showHint();
    layout->addWidget(m_statusBar1);

    formLoad(mdiClientArea);
}

FrmToExcel::~FrmToExcel() { forgetSource(); }

GridModel& FrmToExcel::chooser() { return m_grid1->grid(); }

void FrmToExcel::forgetSource()
{
    if (m_sourceGrid)
        m_sourceGrid->removeObserver(m_watch.get());
    m_sourceGrid = nullptr;
}

void FrmToExcel::formLoad(QWidget* mdiClientArea)
{
    m_mdiClientArea = mdiClientArea ? mdiClientArea : findMdiClientArea();
    adjustSize();
    CenterInMdi(this, m_mdiClientArea);
}

void FrmToExcel::Config(GridModel& grid, const QString& sheetName, const QString& title)
{
    try {
        forgetSource();
        m_sourceGrid = &grid;
        grid.addObserver(m_watch.get());

        GridModel& g1 = chooser();
        g1.setRedraw(false);
        g1.setCols(grid.cols());
        for (int c = 0; c < grid.cols(); ++c) {
            g1.setText(0, c, GridSheetExport::columnHeading(grid, c));
            g1.setFixedAlignment(c, grid.fixedAlignment(c));
            g1.setText(1, c, kTick);
        }
        AutoFitColumns(g1, fontMetrics());
        for (int c = 0; c < g1.cols(); ++c) {
            if (g1.text(0, c).isEmpty()) {
                g1.setColWidth(c, 0);
                g1.setText(1, c, QString());
            }
        }
        g1.setRedraw(true);
        m_text1[1]->setText(title);
        m_text1[2]->setText(sheetName);
        // The title box shows the whole title; the dialog grows to it.
        const int titleWidth = m_text1[1]->fontMetrics().horizontalAdvance(title) + twipsToPixels(300);
        m_text1[1]->setMinimumWidth(std::min(titleWidth, twipsToPixels(9000)));
        const QSize grown = size().expandedTo(sizeHint());
        if (grown != size()) {
            resize(grown);
            CenterInMdi(this, m_mdiClientArea);
        }
    } catch (const Failure& failure) {
        ErrPlainBox(failure.number(), failure.description(), QStringLiteral(" "));
    }
}

void FrmToExcel::showHint()
{
    m_hint->setText(m_sourceBusy ? QStringLiteral("表格正在统计中，统计结束后才能输出。")
                                 : QStringLiteral("提示: 打“√”表示要输出的列，双击可取消选择。"));
}

void FrmToExcel::setSourceBusy(bool busy)
{
    m_sourceBusy = busy;
    if (QAction* output = findChild<QAction*>(QString::fromUtf8(kExportKey)))
        output->setEnabled(!busy);
    showHint();
}

void FrmToExcel::grid1Click(int col)
{
    GridModel& g1 = chooser();
    if (col < 0 || col >= g1.cols())
        return;
    g1.setText(1, col, kTick);
    g1.setColAlignment(col, AlignCenter);
}

void FrmToExcel::grid1DblClick(int col)
{
    GridModel& g1 = chooser();
    if (col < 0 || col >= g1.cols())
        return;
    g1.setText(1, col, QString());
}

void FrmToExcel::command1Click()
{
    try {
        if (!m_cd1) {
            m_cd1 = new QFileDialog(this);
            m_cd1->setObjectName(QStringLiteral("CD1"));
            m_cd1->setAcceptMode(QFileDialog::AcceptSave);
            m_cd1->setFileMode(QFileDialog::AnyFile);
            // An existing workbook is updated, not replaced: no overwrite question.
            m_cd1->setOption(QFileDialog::DontConfirmOverwrite);
            m_cd1->setOption(QFileDialog::DontUseNativeDialog);
            m_cd1->setNameFilters({ QStringLiteral("Excel Flie *.xlsx (*.xlsx)"),
                QStringLiteral("Excel Flie *.xls (*.xls)"), QStringLiteral("All flie *.* (*)") });
        }
        // The program's own folder, unless it is one the user may not write
        // to (an installed program lives in /usr/bin): then the home folder.
        const QString programFolder = QCoreApplication::applicationDirPath();
        m_cd1->setDirectory(QFileInfo(programFolder).isWritable() ? programFolder : QDir::homePath());
        m_cd1->selectFile(QString());
        if (m_cd1->exec() != QDialog::Accepted)
            return;
        const QStringList chosen = m_cd1->selectedFiles();
        if (!chosen.isEmpty() && !chosen.first().isEmpty())
            m_text1[0]->setText(QDir::toNativeSeparators(chosen.first()));
    } catch (const Failure& failure) {
        ErrPlainBox(failure.number(), failure.description(), QStringLiteral(" "));
    }
}

bool FrmToExcel::To_Execl(const GridModel* grid, const QString& title, const QString& sheetName, QString* failure)
{
    if (failure)
        failure->clear();
    m_declined = false;
    const QString fileName = m_text1[0]->text();
    if (fileName.isEmpty()) {
        msgBox(QStringLiteral("请确定输出的文件名"), programTitle(), BoxIcon::None);
        return false;
    }
    try {
        if (!grid)
            throw Failure(kErrInvalidArgument, QStringLiteral("要输出的表格已经关闭"));
        if (m_sourceBusy)
            throw Failure(kErrInvalidArgument, QStringLiteral("表格正在统计中，统计结束后才能输出"));
        GridSheetOptions options;
        options.title = title;
        options.tagText = m_tag;
        options.sheetName = sheetName;
        const GridModel& g1 = chooser();
        for (int c = 0; c < g1.cols(); ++c)
            if (!g1.text(1, c).isEmpty())
                options.columns.append(c);

        if (!m_outputQuestion.isEmpty()
            && showBox({ m_outputQuestion, QString::fromUtf8(kSystemTitle), BoxIcon::Question, BoxButtons::YesNo })
                != BoxAnswer::Yes) {
            m_declined = true;
            return false;
        }

        // A name that is written under another one ("x.xls" as "x.xlsx")
        // must not update a workbook the user never named without a word.
        const QString chosen = QDir::fromNativeSeparators(fileName);
        const QString target = GridSheetExport::workbookFileName(chosen);
        if (target != chosen && QFileInfo::exists(target)) {
            const BoxAnswer answer = showBox({ QStringLiteral("文件“%1”已经存在。\n要把工作表“%2”写入这个工作簿吗？"
                                                              "（同名的工作表将被替换，其他工作表保持不变）")
                                                   .arg(QDir::toNativeSeparators(target), sheetName),
                programTitle(), BoxIcon::Question, BoxButtons::YesNo });
            if (answer != BoxAnswer::Yes) {
                m_declined = true;
                return false;
            }
        }

        const QString written = writeWorkbook(*grid, options, target);
        m_hint->setText(QStringLiteral("已输出到 %1").arg(QDir::toNativeSeparators(written)));
        if (m_check1->isChecked())
            QDesktopServices::openUrl(QUrl::fromLocalFile(written));
        emit workbookWritten(written, sheetName);
        return true;
    } catch (const Failure& f) {
        if (failure)
            *failure = f.description();
        return false;
    }
}

QString FrmToExcel::writeWorkbook(const GridModel& grid, GridSheetOptions options, const QString& fileName)
{
    const int rows = grid.rows();
    auto done = std::make_shared<std::atomic<int>>(0);
    options.rowWritten = [done](int row) { done->store(row + 1, std::memory_order_relaxed); };
    QString written;
    std::optional<Failure> failure;
    // The grid is only read meanwhile: no input reaches the windows until
    // the file is written, so no run can start on it.
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            written = GridSheetExport::write(grid, options, fileName);
        } catch (const Failure& f) {
            failure = f;
        } catch (const std::exception& e) {
            failure = Failure(kErrFile, QString::fromLocal8Bit(e.what()));
        } catch (...) {
            failure = Failure(kErrFile, QStringLiteral("写工作簿时出错"));
        }
    }));
    QEventLoop waiting;
    connect(worker.get(), &QThread::finished, &waiting, &QEventLoop::quit);
    QTimer progress;
    progress.setInterval(100);
    auto show = [this, done, rows] {
        const int count = done->load(std::memory_order_relaxed);
        if (count < rows) {
            m_progress->setRange(0, rows);
            m_progress->setValue(count);
            m_hint->setText(QStringLiteral("正在输出：已写 %1/%2 行").arg(count).arg(rows));
        } else {
            m_progress->setRange(0, 0); // the file itself: no count to show
            m_hint->setText(QStringLiteral("正在写入文件……"));
        }
    };
    connect(&progress, &QTimer::timeout, this, show);
    show();
    m_progress->show();
    m_toolbar1->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    progress.start();
    worker->start();
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    progress.stop();
    QApplication::restoreOverrideCursor();
    m_toolbar1->setEnabled(true);
    m_progress->hide();
    showHint();
    if (failure)
        throw *failure;
    return written;
}

void FrmToExcel::toolbar1ButtonClick(const QString& key)
{
    try {
        if (key == QString::fromUtf8(kExportKey)) {
            const QString title = m_text1[1]->text();
            const QString sheetName = m_text1[2]->text();
            if (title.isEmpty() || sheetName.isEmpty()) {
                msgBox(QStringLiteral("请输入标题内容"), programTitle(), BoxIcon::None);
                return;
            }
            QString failure;
            if (To_Execl(m_sourceGrid, title, sheetName, &failure))
                close();
            else if (!m_declined)
                msgBox(QStringLiteral("输出到Execl失败: ") + failure, programTitle());
        } else if (key == QString::fromUtf8(kQuitKey)) {
            close();
        }
    } catch (const Failure& failure) {
        ErrPlainBox(failure.number(), failure.description(), QStringLiteral(" "));
    }
}

} // namespace fee
