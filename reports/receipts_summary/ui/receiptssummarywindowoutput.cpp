// Writing the summary and the detail list to workbooks, and printing the
// summary.
#include "reports/receipts_summary/ui/receiptssummarywindow.h"

#include "core/failure.h"
#include "core/messages.h"
#include "widgets/detailpanel.h"
#include "widgets/gridprinter.h"
#include "widgets/officelistpanel.h"
#include "widgets/savefilechooser.h"
#include "workbook/workbook.h"
#include "workbook/workbooksavepath.h"
#include "reports/receipts_summary/receiptsexport.h"
#include "reports/receipts_summary/receiptsprint.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

namespace fee {

namespace {
    void showCancelled() { msgBox(QStringLiteral("您取消了导出操作！")); }

    // The workbook file for a name chosen in the save dialog: its extension
    // cut off, the workbook's own put on.
    QString workbookFile(const QString& chosen) { return savePathFromChosenName(chosen) + Workbook::kExtension; }

    // Lets the progress bar repaint without taking the user's input meanwhile.
    void showProgress(QProgressBar* bar, int value)
    {
        bar->setValue(value);
        if (value % 50 == 0)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void ReceiptsSummaryWindow::showCommandButtons(bool shown)
{
    for (QPushButton* button : { m_start, m_export, m_print, m_exit })
        button->setVisible(shown);
}

// The dates the outputs name: those of the run that filled the grid; the
// panel's before any run.
DateRange ReceiptsSummaryWindow::reportedRange() const
{
    if (m_reported)
        return m_reported->receipts;
    return { m_receiptStart->date(), m_receiptEnd->date() };
}

void ReceiptsSummaryWindow::exportSummary()
{
    // The grid always has its two heading rows, so even an empty report is written.
    if (isRunning() || m_summary.rows() <= 1)
        return;
    showCommandButtons(false);
    const QString chosen = chooseSaveFile(
        this, receiptsSummaryPresetName(QDate::currentDate()), QString::fromUtf8(kReceiptsWorkbookFilter));
    if (chosen.isEmpty()) {
        showCancelled();
        showCommandButtons(true);
        return;
    }

    m_exportProgress->setRange(0, m_summary.rows());
    m_exportProgress->setValue(0);
    m_exportProgress->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool written = false;
    try {
        WriteReceiptsSummaryWorkbook(m_summary, reportedRange(), workbookFile(chosen),
            [this](int done) { showProgress(m_exportProgress, done); });
        written = true;
    } catch (const Failure& failure) {
        QApplication::restoreOverrideCursor();
        m_exportProgress->hide();
        ErrCodeBox(failure.number(), failure.description());
    }
    if (written) {
        QApplication::restoreOverrideCursor();
        m_exportProgress->hide();
        msgBox(QStringLiteral("收款汇总表导出成功!"));
    }
    showCommandButtons(true);
}

void ReceiptsSummaryWindow::exportDetail()
{
    if (isRunning() || m_detail.rows() <= 1)
        return;
    QAbstractButton* close = m_detailFrame->closeButton();
    QPushButton* exportButton = m_detailFrame->exportButton();
    close->hide();
    exportButton->hide();
    const QString chosen = chooseSaveFile(this,
        receiptsDetailPresetName(m_detailHeading.officeName, m_detailHeading.itemName, QDate::currentDate()),
        QString::fromUtf8(kReceiptsWorkbookFilter));
    if (chosen.isEmpty()) {
        showCancelled();
        close->show();
        exportButton->show();
        return;
    }

    QProgressBar* progress = m_detailFrame->progressBar();
    progress->setRange(0, m_detail.rows());
    progress->setValue(0);
    progress->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool written = false;
    try {
        WriteReceiptsDetailWorkbook(m_detail, m_detailHeading, reportedRange(), workbookFile(chosen),
            [progress](int row) { showProgress(progress, row); });
        written = true;
    } catch (const Failure& failure) {
        QApplication::restoreOverrideCursor();
        progress->hide();
        ErrCodeBox(failure.number(), failure.description());
    }
    if (written) {
        QApplication::restoreOverrideCursor();
        progress->hide();
        msgBox(QStringLiteral("收款汇总明细表导出成功!"));
    }
    close->show();
    exportButton->show();
}

// The office the printed title names: the list's current entry, else the
// first ticked one, else the first entry.
QString ReceiptsSummaryWindow::printedOfficeName() const
{
    const QListWidget* list = m_officeList->list();
    int entry = list->currentRow();
    if (entry < 0) {
        const QVector<bool> ticked = m_officeList->tickedFlags();
        entry = int(ticked.indexOf(true));
    }
    if (entry < 0 && list->count() > 0)
        entry = 0;
    return entry < 0 ? QString() : officeFromEntryText(list->item(entry)->text()).name;
}

void ReceiptsSummaryWindow::printSummary()
{
    if (isRunning())
        return;
    try {
        printGrid(m_summary, receiptsPrintOptions(printedOfficeName(), reportedRange()), this);
    } catch (const Failure& failure) {
        ErrCodeBox(failure.number(), failure.description());
    }
}

} // namespace fee
