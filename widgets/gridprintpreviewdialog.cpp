#include "widgets/gridprintpreviewdialog.h"

#include "core/messages.h"
#include "print/paintersurface.h"
#include "widgets/savefilechooser.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace fee {

namespace {

    // How long a layout may hold the event loop before the other windows get
    // their turn (their clocks and repaints).
    constexpr int kEventsEveryMs = 40;

    QPushButton* button(const QString& name, const QString& text, QWidget* parent)
    {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    }

} // namespace

GridPrintPreviewDialog::GridPrintPreviewDialog(const GridModel& grid, const PrintGridOptions& options, QWidget* parent)
    : QDialog(parent)
    , m_grid(grid)
    , m_options(options)
    , m_printer(QPrinter::HighResolution)
{
    setObjectName(QStringLiteral("GridPrintPreview"));
    setWindowTitle(options.title.isEmpty() ? QStringLiteral("打印预览") : options.title);
    // The preview never asks the paper question: the paper choice answers it.
    m_options.progress = nullptr;
    m_printer.setDocName(options.title);

    m_controls = new QWidget(this);
    auto* bar = new QHBoxLayout(m_controls);
    bar->setContentsMargins(0, 0, 0, 0);
    auto* paperLabel = new QLabel(QStringLiteral("纸张"), m_controls);
    m_paper = new QComboBox(m_controls);
    m_paper->setObjectName(QStringLiteral("paperChoice"));
    m_paper->addItem(QStringLiteral("自动"), int(PrintPaper::Auto));
    m_paper->addItem(QStringLiteral("A4"), int(PrintPaper::A4));
    m_paper->addItem(QStringLiteral("A3"), int(PrintPaper::A3));
    paperLabel->setBuddy(m_paper);
    m_fit = new QCheckBox(QStringLiteral("适合纸宽"), m_controls);
    m_fit->setObjectName(QStringLiteral("fitToWidth"));
    m_fit->setToolTip(QStringLiteral("表格比纸宽时缩小到纸张的宽度"));
    auto* zoomIn = button(QStringLiteral("zoomIn"), QStringLiteral("放大"), m_controls);
    auto* zoomOut = button(QStringLiteral("zoomOut"), QStringLiteral("缩小"), m_controls);
    auto* previous = button(QStringLiteral("previousPage"), QStringLiteral("上一页"), m_controls);
    auto* next = button(QStringLiteral("nextPage"), QStringLiteral("下一页"), m_controls);
    m_print = button(QStringLiteral("printButton"), QStringLiteral("打印..."), m_controls);
    m_save = button(QStringLiteral("savePdfButton"), QStringLiteral("保存PDF..."), m_controls);
    auto* close = button(QStringLiteral("closeButton"), QStringLiteral("关闭"), m_controls);
    bar->addWidget(paperLabel);
    bar->addWidget(m_paper);
    bar->addWidget(m_fit);
    bar->addSpacing(12);
    bar->addWidget(zoomIn);
    bar->addWidget(zoomOut);
    bar->addWidget(previous);
    bar->addWidget(next);
    bar->addStretch(1);
    bar->addWidget(m_print);
    bar->addWidget(m_save);
    bar->addWidget(close);

    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("pageInfo"));

    m_busy = new QWidget(this);
    auto* busy = new QHBoxLayout(m_busy);
    busy->setContentsMargins(0, 0, 0, 0);
    m_progressText = new QLabel(QStringLiteral("正在排版，请稍等......"), m_busy);
    m_progress = new QProgressBar(m_busy);
    m_progress->setObjectName(QStringLiteral("layoutProgress"));
    m_progress->setRange(0, 0);
    m_cancel = button(QStringLiteral("cancelLayout"), QStringLiteral("取消"), m_busy);
    busy->addWidget(m_progressText);
    busy->addWidget(m_progress, 1);
    busy->addWidget(m_cancel);

    m_preview = new QPrintPreviewWidget(&m_printer, this);
    m_preview->setObjectName(QStringLiteral("previewPages"));
    // Shown once its pages are laid out: a preview repainted while its pages
    // are being made would paint pages already given up.
    m_preview->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_controls);
    layout->addWidget(m_info);
    layout->addWidget(m_busy);
    layout->addWidget(m_preview, 1);
    resize(1000, 760);

    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &GridPrintPreviewDialog::paintPages);
    connect(m_paper, &QComboBox::currentIndexChanged, this, &GridPrintPreviewDialog::relayout);
    connect(m_fit, &QCheckBox::toggled, this, &GridPrintPreviewDialog::relayout);
    connect(zoomIn, &QPushButton::clicked, m_preview, [this]() { m_preview->zoomIn(); });
    connect(zoomOut, &QPushButton::clicked, m_preview, [this]() { m_preview->zoomOut(); });
    connect(previous, &QPushButton::clicked, m_preview,
        [this]() { m_preview->setCurrentPage(std::max(m_preview->currentPage() - 1, 1)); });
    connect(next, &QPushButton::clicked, m_preview,
        [this]() { m_preview->setCurrentPage(std::min(m_preview->currentPage() + 1, m_preview->pageCount())); });
    connect(m_print, &QPushButton::clicked, this, &GridPrintPreviewDialog::printClicked);
    connect(m_save, &QPushButton::clicked, this, &GridPrintPreviewDialog::savePdfClicked);
    connect(close, &QPushButton::clicked, this, &GridPrintPreviewDialog::reject);
    connect(m_cancel, &QPushButton::clicked, this, [this]() { m_cancelled = true; });
    m_busy->hide();
}

GridPrintPreviewDialog::~GridPrintPreviewDialog()
{
    // The preview paints from the printer member: it goes first.
    delete m_preview;
    if (m_layingOut)
        QApplication::restoreOverrideCursor();
}

PrintPaper GridPrintPreviewDialog::paper() const { return PrintPaper(m_paper->currentData().toInt()); }

void GridPrintPreviewDialog::setPaper(PrintPaper paper) { m_paper->setCurrentIndex(m_paper->findData(int(paper))); }

bool GridPrintPreviewDialog::fitToWidth() const { return m_fit->isChecked(); }

void GridPrintPreviewDialog::setFitToWidth(bool fit) { m_fit->setChecked(fit); }

int GridPrintPreviewDialog::pageCount() const { return m_preview->pageCount(); }

void GridPrintPreviewDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The first pages are laid out once the dialog is on screen, so that its
    // progress shows.
    if (!m_started) {
        m_started = true;
        QTimer::singleShot(0, this, &GridPrintPreviewDialog::relayout);
    }
}

void GridPrintPreviewDialog::reject()
{
    // Closing in the middle of a layout stops it first; the dialog closes
    // when the layout has returned.
    if (m_layingOut) {
        m_cancelled = true;
        m_closeWhenDone = true;
        return;
    }
    QDialog::reject();
}

void GridPrintPreviewDialog::relayout()
{
    if (!m_started)
        return;
    if (m_layingOut) {
        m_again = true;
        return;
    }
    m_choice = choosePrintPage(m_grid, m_options.skip, paper(), fitToWidth());
    m_printer.setPageLayout(m_choice.layout);
    m_failure.reset();
    m_cancelled = false;
    m_parts = 1;
    m_cutOff = false;
    setBusy(true);
    m_preview->hide();
    m_preview->updatePreview();
    setBusy(false);

    if (m_cancelled || m_failure) {
        // A cancelled layout, or one that failed, leaves nothing to show.
        QTimer::singleShot(0, this, [this]() { QDialog::reject(); });
    } else if (m_closeWhenDone) {
        QTimer::singleShot(0, this, [this]() { QDialog::reject(); });
    } else {
        m_preview->show();
        m_preview->fitInView();
        showPageInfo();
    }
    emit layoutFinished();
    if (m_again && !m_cancelled && !m_failure) {
        m_again = false;
        QTimer::singleShot(0, this, &GridPrintPreviewDialog::relayout);
    }
}

PrintGridOptions GridPrintPreviewDialog::jobOptions()
{
    PrintGridOptions options = withPrintPageChoice(m_options, m_choice);
    options.progress = [this](int page, int pageCount) { return pageDone(page, pageCount); };
    return options;
}

void GridPrintPreviewDialog::paintPages(QPrinter* target)
{
    // Nothing may be thrown through the preview's painting.
    try {
        PainterSurface surface(target);
        const PrintGridResult result = PrintGrid(surface, m_grid, jobOptions());
        m_parts = result.parts;
        m_cutOff = result.cutOff;
    } catch (const Failure& f) {
        m_failure = f;
    }
}

bool GridPrintPreviewDialog::pageDone(int page, int pageCount)
{
    if (m_progress->maximum() != pageCount)
        m_progress->setRange(0, pageCount);
    m_progress->setValue(page - 1);
    if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= kEventsEveryMs) {
        m_progressText->setText(QStringLiteral("正在排版 第%1页 共%2页").arg(page).arg(pageCount));
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }
    return !m_cancelled;
}

void GridPrintPreviewDialog::setBusy(bool busy)
{
    if (busy == m_layingOut)
        return;
    m_layingOut = busy;
    m_controls->setEnabled(!busy);
    if (busy) {
        m_progress->setRange(0, 0);
        m_progressText->setText(QStringLiteral("正在排版，请稍等......"));
        m_busy->show();
        QApplication::setOverrideCursor(Qt::BusyCursor);
        m_sinceEvents.invalidate();
    } else {
        m_busy->hide();
        QApplication::restoreOverrideCursor();
    }
}

void GridPrintPreviewDialog::showPageInfo(const QString& extra)
{
    QString text = printPageDescription(m_choice) + QStringLiteral(", 共 %1 页").arg(pageCount());
    const QString notice = printOverflowNotice(m_choice, m_parts, m_cutOff);
    if (!notice.isEmpty())
        text += QStringLiteral("。") + notice;
    if (!extra.isEmpty())
        text += QStringLiteral("。") + extra;
    m_info->setText(text);
}

PrintGridResult GridPrintPreviewDialog::printOn(QPrinter& printer)
{
    // Printing to a file goes through the PDF writer, whose file reads back
    // as the text it shows (pdftextmap.h).
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        const GridPdfResult saved = savePdf(printer.outputFileName());
        PrintGridResult result;
        result.printed = !saved.stopped;
        result.stopped = saved.stopped;
        result.pages = saved.pages;
        result.cutOff = saved.cutOff;
        result.parts = saved.parts;
        return result;
    }
    // What the preview shows, whatever paper the printer was left on.
    printer.setPageLayout(m_choice.layout);
    m_cancelled = false;
    setBusy(true);
    PrintGridResult result;
    try {
        PainterSurface surface(&printer);
        try {
            result = PrintGrid(surface, m_grid, jobOptions());
        } catch (...) {
            if (surface.pagesStarted() > 0)
                printer.abort();
            throw;
        }
        if (result.stopped && surface.pagesStarted() > 0)
            printer.abort();
    } catch (...) {
        setBusy(false);
        throw;
    }
    setBusy(false);
    return result;
}

GridPdfResult GridPrintPreviewDialog::savePdf(const QString& path)
{
    m_cancelled = false;
    setBusy(true);
    GridPdfResult result;
    try {
        // The same rules give the same page as the preview's.
        result = writeGridPdf(m_grid, path, jobOptions(), paper(), fitToWidth());
    } catch (...) {
        setBusy(false);
        throw;
    }
    setBusy(false);
    return result;
}

void GridPrintPreviewDialog::printClicked()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_options.title);
    printer.setPageLayout(m_choice.layout);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        const PrintGridResult printed = printOn(printer);
        showPageInfo(printed.stopped ? QStringLiteral("打印已取消") : QStringLiteral("已打印"));
    } catch (const Failure& f) {
        ErrCodeBox(f.number(), f.description());
    }
    if (m_closeWhenDone)
        QDialog::reject();
}

void GridPrintPreviewDialog::savePdfClicked()
{
    const QString preset = (m_options.title.isEmpty() ? QStringLiteral("打印") : m_options.title) + QStringLiteral(".pdf");
    const QString path = chooseSaveFile(this, preset, QStringLiteral("PDF 文件|*.pdf"));
    if (path.isEmpty())
        return;
    try {
        const GridPdfResult saved = savePdf(path);
        showPageInfo(saved.stopped ? QStringLiteral("没有保存：已取消") : QStringLiteral("已保存到 %1").arg(path));
    } catch (const Failure& f) {
        ErrCodeBox(f.number(), f.description());
    }
    if (m_closeWhenDone)
        QDialog::reject();
}

} // namespace fee
