// From a figure of the summary grid to the ledger rows behind it.
#include "reports/monthly/ui/monthlyreportwindow.h"

#include "common/failure.h"
#include "common/messages.h"
#include "common/widgets/detailpanel.h"
#include "common/widgets/gridview.h"
#include "db/dbconnection.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/shared/reportrunner.h"
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
    if (m_running)
        return;
    m_drillButton->hide();
    hideDetail();
    if (row < monthly::kHeadingRows || row >= m_summary.rows())
        return;

    // A row without an office code (the totals row, or an office whose run
    // failed) has no figures to open.
    const QString officeCode = m_summary.text(row, monthly::kOfficeCode);
    if (!officeCode.isEmpty() && MonthlyEngine::isDrillColumn(col)) {
        m_drillKey = { officeCode, m_summary.text(row, monthly::kName), col, m_statisticsDate->date() };
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
    if (m_markedRow > 0 && m_markedRow < m_summary.rows()) {
        for (int col = 1; col < m_summary.cols(); ++col)
            m_summary.setCellBackColor(m_markedRow, col, QColor());
    }
    for (int col = 1; col < m_summary.cols(); ++col)
        m_summary.setCellBackColor(row, col, kMarkedRowColor);
    m_markedRow = row;
    m_summary.setRedraw(true);
}

void MonthlyReportWindow::showDetail(const MonthlyDrillKey& key)
{
    if (m_running || key.officeCode.isEmpty())
        return;
    QString heading = m_summary.text(1, key.column);
    heading.remove(QStringLiteral("\r\n"));
    heading.remove(QLatin1Char('\n'));
    m_detailPanel->caption()->setText(
        QStringLiteral("【") + key.officeName + QLatin1Char(' ') + heading + QStringLiteral("】明细"));
    // The columns are fitted to their texts in the window's own font.
    m_detail.setFontName(font().family());
    m_detail.setFontSize(font().pointSizeF());

    // The prepaid details count from the report year of the last run.
    MonthlySelection selection;
    selection.feeCodes = m_feeCodes;
    selection.statisticsDate = key.statisticsDate;
    selection.reportYear = m_reportYear;

    m_running = true;
    m_export->setEnabled(false);
    m_summaryView->setCursor(Qt::BusyCursor);
    disconnect(m_runner, &ReportRunner::finished, this, nullptr);
    connect(m_runner, &ReportRunner::finished, this, &MonthlyReportWindow::detailFinished);
    GridModel* detail = &m_detail;
    m_runner->start(DbConnection::shared().connectionString(), [selection, key, detail](RunContext& run) {
        MonthlyEngine(run.connection()).fillDetail(selection, key.column, key.officeCode, *detail);
    });
}

void MonthlyReportWindow::detailFinished(const RunOutcome& outcome)
{
    m_summaryView->unsetCursor();
    m_running = false;
    m_export->setEnabled(true);
    m_detailPanel->view()->refreshLayout();
    if (outcome.failed) {
        ErrNumberBox(outcome.number, outcome.description);
    } else if (!outcome.cancelled) {
        m_detailPanel->show();
        m_detailPanel->raise();
    }
    closeAfterRun();
}

void MonthlyReportWindow::hideDetail() { m_detailPanel->hide(); }

} // namespace fee
