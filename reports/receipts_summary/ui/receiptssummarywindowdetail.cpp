// The detail frame over the summary: the receipts or ledger payments behind a
// summary row, listed on the worker.
#include "reports/receipts_summary/ui/receiptssummarywindow.h"

#include "core/messages.h"
#include "widgets/detailpanel.h"
#include "widgets/gridview.h"
#include "widgets/sessionstatusbar.h"
#include "widgets/waitoverlay.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsdetails.h"
#include "reports/receipts_summary/receiptsengine.h"
#include "reports/shared/ui/reportrun.h"
#include "reports/shared/runcontext.h"

#include <QFrame>
#include <QGroupBox>
#include <QPushButton>

namespace fee {

namespace dcol = ReceiptsDetailColumn;

// Over the summary frame, in front of everything, with an empty list.
void ReceiptsSummaryWindow::placeDetailFrame() { m_detailFrame->setGeometry(m_summaryFrame->geometry()); }

void ReceiptsSummaryWindow::showEmptyDetail()
{
    if (isRunning())
        return;
    placeDetailFrame();
    m_detail.setRows(1);
    m_highlightedDetailRow = 0;
    m_detailFrame->show();
    m_detailFrame->raise();
}

void ReceiptsSummaryWindow::openDetail(int row)
{
    if (isRunning() || row < m_summary.fixedRows() || row >= m_summary.rows())
        return;
    const DrillKey key { m_summary.rowKey(row), ReceiptsColumn::kDetail };
    m_summary.setCurrentRow(row);
    m_detailHeading = { m_summary.value(row, ReceiptsColumn::kOffice).string(),
        m_summary.value(row, ReceiptsColumn::kItem).string() };

    m_buttonStrip->setEnabled(false);
    placeDetailFrame();
    m_detail.setRows(1);
    // A new list starts without a highlighted row.
    m_highlightedDetailRow = 0;
    m_detailFrame->show();
    m_detailFrame->raise();
    if (!hasReceiptsDetail(key.row))
        return;

    // The list belongs to the run that wrote the row: its dates and payment
    // methods, not what the panel shows by now.
    const ReceiptsSelection selection = m_reported ? *m_reported : currentSelection();
    // The columns widen to their texts as the window's font measures them.
    m_detail.setFontName(font().family());
    m_detail.setFontSize(font().pointSizeF());

    m_statusBar->setMessage(QStringLiteral("请稍候，正在统计明细..."));
    m_closeDetailRequested = false;
    m_detailFrame->exportButton()->setEnabled(false);
    m_detailWait->setSubject(QStringLiteral("%1 %2 的收费明细\n读完后才能输出EXCEL")
                                 .arg(m_detailHeading.officeName.simplified(), m_detailHeading.itemName.simplified()));
    GridModel* detail = &m_detail;
    m_run->start(
        [selection, key, detail](RunContext& run) { ReceiptsEngine(run, selection).fillDetail(key, *detail); },
        [this](const RunOutcome& outcome) { detailFinished(outcome); }, m_detailWait, m_detailFrame->view());
}

void ReceiptsSummaryWindow::detailFinished(const RunOutcome& outcome)
{
    m_detailFrame->view()->refreshLayout();
    m_detailFrame->exportButton()->setEnabled(true);
    // The frame stays open after a failure, the strip disabled until 关闭.
    if (outcome.failed)
        ErrCodeBox(outcome.number, outcome.description);
    else if (!outcome.cancelled)
        m_statusBar->setMessage(QStringLiteral("统计结束!"));
    emit detailEnded();
    if (m_closeDetailRequested) {
        m_closeDetailRequested = false;
        closeDetail();
    }
}

void ReceiptsSummaryWindow::closeDetail()
{
    // The list being read is stopped first; the frame closes once it has.
    if (isRunning()) {
        m_closeDetailRequested = true;
        m_run->cancel();
        return;
    }
    m_detail.setRows(1);
    m_highlightedDetailRow = 0;
    m_detailFrame->hide();
    m_buttonStrip->setEnabled(true);
}

void ReceiptsSummaryWindow::detailClicked(int row, int)
{
    // A row of the current list other than its totals row.
    const auto isDetailRow = [this](int r) {
        return r >= 1 && r < m_detail.rows() && m_detail.rowKind(r) != RowKind::Total;
    };
    if (isRunning() || !isDetailRow(row))
        return;
    // Painting goes on meanwhile: pausing it would reset the view, and the
    // press a double click needs would be lost with it.
    // The row highlighted before is painted back only while it still is a
    // detail row: the totals row keeps its colour.
    if (m_highlightedDetailRow != 0 && isDetailRow(m_highlightedDetailRow))
        m_detail.setRowBackColor(m_highlightedDetailRow, dcol::kBook, m_detail.cols() - 1, QColor());
    m_highlightedDetailRow = row;
    m_detail.setRowBackColor(row, dcol::kBook, m_detail.cols() - 1, receiptsHighlightColor());
}

} // namespace fee
