#include "common/widgets/frmtoexcel.h"

#include "common/failure.h"
#include "common/grid/gridmodel.h"
#include "common/grid/twips.h"
#include "common/messages.h"
#include "common/widgets/gridview.h"
#include "common/widgets/windowhelpers.h"
#include "common/workbook/gridsheetexport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

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

    auto* area = new QWidget(this);
    area->setFixedSize(twipsSize(kClientWidth, kClientHeight));
    layout->addWidget(area);

    const struct {
        const char* caption;
        QRect label;
        QRect text;
    } rows[] = {
        { "Excel文件路径和名称", twipsRect(30, 105, 1710, 180), twipsRect(1770, 45, 4755, 300) },
        { "文档标题", twipsRect(30, 450, 720, 180), twipsRect(780, 390, 2055, 300) },
        { "工作表名称", twipsRect(2910, 450, 900, 180), twipsRect(3840, 390, 2685, 300) },
    };
    for (int i = 0; i < 3; ++i) {
        m_label1[i] = new QLabel(QString::fromUtf8(rows[i].caption), area);
        m_label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        m_label1[i]->setGeometry(rows[i].label.adjusted(0, -2, 0, 2));
        m_text1[i] = new QLineEdit(area);
        m_text1[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
        m_text1[i]->setGeometry(rows[i].text);
    }
    m_command1 = new QToolButton(area);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_command1->setGeometry(twipsRect(6240, 68, 255, 255));
    m_command1->raise(); // over the right end of Text1(0)
    connect(m_command1, &QToolButton::clicked, this, [this] { command1Click(); });

    m_check1 = new QCheckBox(QStringLiteral("输出时启动Microsoft Excel程序"), area);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check1->setGeometry(twipsRect(30, 780, 2925, 225).adjusted(0, -2, 0, 2));

    m_grid1 = new GridView(area);
    m_grid1->setObjectName(QStringLiteral("Grid1"));
    m_grid1->setGeometry(twipsRect(60, 1140, 6435, 795));
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
    auto* hint = new QLabel(QStringLiteral("提示: 打“√”表示要输出的列，双击可取消选择。"), m_statusBar1);
    hint->setObjectName(QStringLiteral("StatusBar1_Panel1"));
    m_statusBar1->addWidget(hint, 1);
    layout->addWidget(m_statusBar1);

    layout->setSizeConstraint(QLayout::SetFixedSize);
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
    adjustSize();
    CenterInMdi(this, mdiClientArea ? mdiClientArea : findMdiClientArea());
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
    } catch (const Failure& failure) {
        ErrPlainBox(failure.number(), failure.description(), QStringLiteral(" "));
    }
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
    const QString fileName = m_text1[0]->text();
    if (fileName.isEmpty()) {
        msgBox(QStringLiteral("请确定输出的文件名"), programTitle(), BoxIcon::None);
        return false;
    }
    try {
        if (!grid)
            throw Failure(kErrInvalidArgument, QStringLiteral("要输出的表格已经关闭"));
        GridSheetOptions options;
        options.title = title;
        options.tagText = m_tag;
        options.sheetName = sheetName;
        const GridModel& g1 = chooser();
        for (int c = 0; c < g1.cols(); ++c)
            if (!g1.text(1, c).isEmpty())
                options.columns.append(c);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const QString written = GridSheetExport::write(*grid, options, QDir::fromNativeSeparators(fileName));
        QApplication::restoreOverrideCursor();
        if (m_check1->isChecked())
            QDesktopServices::openUrl(QUrl::fromLocalFile(written));
        return true;
    } catch (const Failure& f) {
        QApplication::restoreOverrideCursor();
        if (failure)
            *failure = f.description();
        return false;
    }
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
            else
                msgBox(QStringLiteral("输出到Execl失败: ") + failure, programTitle());
        } else if (key == QString::fromUtf8(kQuitKey)) {
            close();
        }
    } catch (const Failure& failure) {
        ErrPlainBox(failure.number(), failure.description(), QStringLiteral(" "));
    }
}

} // namespace fee
