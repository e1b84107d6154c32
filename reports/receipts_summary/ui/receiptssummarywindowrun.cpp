// Starting the statistics, running them on the worker, and the clicks on the
// summary grid.
#include "reports/receipts_summary/ui/receiptssummarywindow.h"

#include "core/messages.h"
#include "widgets/feeitemtreepanel.h"
#include "widgets/gridview.h"
#include "widgets/officelistpanel.h"
#include "widgets/sessionstatusbar.h"
#include "widgets/waitoverlay.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsdetails.h"
#include "reports/receipts_summary/receiptsengine.h"
#include "reports/shared/ui/reportrun.h"
#include "reports/shared/runcontext.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

namespace fee {

namespace col = ReceiptsColumn;

void ReceiptsSummaryWindow::startStatistics()
{
    // A second press while a run goes on is ignored.
    if (isRunning())
        return;

    const ReceiptsSelection selection = currentSelection();
    const SelectionCheck check = checkReceiptsSelection(selection, m_paymentMethod->currentIndex() >= 0);
    if (!check.isOk()) {
        if (check.status == SelectionCheck::Status::Refused)
            showBox(check.message);
        // The dates keep the focus where it is.
        if (check.field == SelectionCheck::Field::Offices)
            m_officeList->list()->setFocus();
        else if (check.field == SelectionCheck::Field::FeeItems)
            m_feeTree->tree()->setFocus();
        return;
    }

    m_statusBar->setMessage(QStringLiteral("请稍候，正在进行统计..."));
    // The last run's rows go at once, not when the new ones are in: the
    // grid on screen is never the old report under the new run's wait.
    m_summary.setRows(m_summary.fixedRows());
    // The rows the last run highlighted are cut with the grid.
    m_highlightedSummaryRow = 0;
    m_reported = selection;
    // Nothing is printed or written from a grid still being filled.
    m_export->setEnabled(false);
    m_print->setEnabled(false);
    m_wait->setSubject(QStringLiteral("收款日期 %1 至 %2，%3 个管理处\n统计结束前不能打印或输出EXCEL")
                           .arg(selection.receipts.start.toString(Qt::ISODate),
                               selection.receipts.end.toString(Qt::ISODate))
                           .arg(selection.offices.size()));
    // The worker fills the grid row by row while the window shows it.
    GridModel* summary = &m_summary;
    m_run->start([selection, summary](RunContext& run) { ReceiptsEngine(run, selection).fill(*summary); },
        [this](const RunOutcome& outcome) { statisticsFinished(outcome); });
}

void ReceiptsSummaryWindow::statisticsFinished(const RunOutcome& outcome)
{
    // The last rows and widths show at once, not at the next publishing.
    m_summaryView->refreshLayout();
    m_export->setEnabled(true);
    m_print->setEnabled(true);
    // A failure leaves the rows written so far and the waiting text; a
    // cancelled run is no error.
    if (outcome.failed)
        ErrCodeBox(outcome.number, outcome.description);
    else if (outcome.cancelled)
        m_statusBar->setMessage(QStringLiteral("统计已取消！"));
    else
        m_statusBar->setMessage(QStringLiteral("统计结束！"));
    emit statisticsEnded();
}

// A row of the current grid with figures of an office: neither a heading
// row nor a "小计" or "合计" row. Asked of the cell, which a row a run has
// just cut does not fail: a bar of the chart may be clicked during a run.
bool ReceiptsSummaryWindow::isSummaryDataRow(int row) const
{
    const std::optional<GridCell> cell = m_summary.cell(row, col::kOffice);
    return cell && cell->rowKind == RowKind::Data;
}

void ReceiptsSummaryWindow::summaryClicked(int row, int col)
{
    if (isRunning() || !isSummaryDataRow(row))
        return;
    if (receiptsCellHasDetail(m_summary, row, col))
        openDetail(row);
    highlightSummaryRow(row);
}

// A double click anywhere on a row opens what its 明细 cell opens.
void ReceiptsSummaryWindow::summaryDoubleClicked(int row, int)
{
    if (isRunning() || row < m_summary.fixedRows() || row >= m_summary.rows())
        return;
    if (receiptsCellHasDetail(m_summary, row, col::kDetail))
        openDetail(row);
}

void ReceiptsSummaryWindow::highlightSummaryRow(int row)
{
    // Painting goes on meanwhile: pausing it would reset the view, and the
    // press a double click needs would be lost with it.
    // The row highlighted before is painted back only while it still is a
    // data row: a total row keeps its own colour.
    if (m_highlightedSummaryRow != 0 && isSummaryDataRow(m_highlightedSummaryRow))
        m_summary.setRowBackColor(m_highlightedSummaryRow, col::kCategory, m_summary.cols() - 1, QColor());
    m_highlightedSummaryRow = row;
    m_summary.setRowBackColor(row, col::kCategory, m_summary.cols() - 1, receiptsHighlightColor());
}

} // namespace fee
