// From a figure of the summary grid to the ledger rows behind it.
#include "reports/monthly/ui/monthlyreportwindow.h"

#include "core/failure.h"
#include "core/messages.h"
#include "widgets/detailpanel.h"
#include "widgets/gridview.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/shared/ui/reportrun.h"
#include "reports/shared/runcontext.h"

#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace fee {

namespace {
    constexpr int kDrillButtonWidth = 14; // 200 twips
    const QColor kMarkedRowColor(208, 255, 253);
}

void MonthlyReportWindow::summaryClicked(int row, int col)
{
    if (isRunning())
        return;
    m_drillButton->hide();
    hideDetail();
    if (row < monthly::kHeadingRows || row >= m_summary.rows())
        return;

    // The totals row, or an office whose run failed, has no figures to open.
    RunContext idle(m_connection); // the engine is only asked: nothing is sent
    if (MonthlyEngine(idle, MonthlySelection()).hasDetail(m_summary, row, col)) {
        m_drillKey = { m_summary.rowKey(row), col };
        m_drillOfficeName = m_summary.text(row, monthly::kName);
        m_drillDate = m_statisticsDate->date();
        const QRect cell = m_summaryView->cellRect(row, col);
        const QPoint topLeft = m_summaryView->mapTo(m_drillButton->parentWidget(), cell.topLeft());
        m_drillButton->setGeometry(topLeft.x(), topLeft.y(), kDrillButtonWidth, cell.height());
        m_drillButton->show();
        m_drillButton->raise();
    }
    markRow(row);
}

void MonthlyReportWindow::markRow(int row)
{
    m_summary.setRedraw(false);
    if (m_markedRow > 0 && m_markedRow < m_summary.rows())
        m_summary.setRowBackColor(m_markedRow, 1, m_summary.cols() - 1, QColor());
    m_summary.setRowBackColor(row, 1, m_summary.cols() - 1, kMarkedRowColor);
    m_markedRow = row;
    m_summary.setRedraw(true);
}

void MonthlyReportWindow::showDetail(const DrillKey& key)
{
    if (isRunning() || key.row.office.isEmpty())
        return;
    QString heading = m_summary.text(1, key.column);
    heading.remove(QStringLiteral("\r\n"));
    heading.remove(QLatin1Char('\n'));
    m_detailPanel->caption()->setText(
        QStringLiteral("【") + m_drillOfficeName + QLatin1Char(' ') + heading + QStringLiteral("】明细"));
    // The columns are fitted to their texts in the window's own font.
    m_detail.setFontName(font().family());
    m_detail.setFontSize(font().pointSizeF());

    // The prepaid details count from the report year of the last run.
    MonthlySelection selection;
    selection.feeCodes = m_feeCodes;
    selection.statisticsDate = m_drillDate;
    selection.reportYear = m_reportYear;

    m_export->setEnabled(false);
    GridModel* detail = &m_detail;
    m_run->start([selection, key, detail](RunContext& run) { MonthlyEngine(run, selection).fillDetail(key, *detail); },
        [this](const RunOutcome& outcome) { detailFinished(outcome); }, nullptr, nullptr);
}

void MonthlyReportWindow::detailFinished(const RunOutcome& outcome)
{
    m_export->setEnabled(true);
    m_detailPanel->view()->refreshLayout();
    if (outcome.failed) {
        ErrNumberBox(outcome.number, outcome.description);
    } else if (!outcome.cancelled) {
        m_detailPanel->show();
        m_detailPanel->raise();
    }
}

void MonthlyReportWindow::hideDetail() { m_detailPanel->hide(); }

} // namespace fee
