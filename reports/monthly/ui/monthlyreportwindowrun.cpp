// Starting the statistics and running them office by office.
#include "reports/monthly/ui/monthlyreportwindow.h"

#include "core/failure.h"
#include "core/messages.h"
#include "widgets/detailpanel.h"
#include "widgets/feeitemtreepanel.h"
#include "widgets/gridview.h"
#include "widgets/officelistpanel.h"
#include "widgets/waitoverlay.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/shared/ui/reportrun.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionresolver.h"

#include <QApplication>
#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace fee {

void MonthlyReportWindow::startStatistics()
{
    // A second press while a run goes on is ignored.
    if (isRunning())
        return;

    m_reportYear = QString::number(m_statisticsDate->date().year());
    monthly::layoutSummaryGrid(m_summary, m_reportYear);
    m_markedRow = 0;
    m_drillButton->hide();

    if (m_officeList->count() == 0) {
        msgBox(QStringLiteral("管理处列表为空,请检查登录者身份!"));
        return;
    }
    MonthlySelection selection;
    selection.offices = tickedOffices(m_offices, m_officeList->tickedFlags());
    if (selection.offices.isEmpty()) {
        msgBox(QStringLiteral("请勾选需要统计的管理处!"));
        return;
    }
    m_feeCodes = m_feeTree->tickedCodes();
    if (m_feeCodes.isEmpty()) {
        msgBox(QStringLiteral("请选择收费项目！"));
        return;
    }
    selection.feeCodes = m_feeCodes;
    selection.statisticsDate = m_statisticsDate->date();
    selection.reportYear = m_reportYear;

    // The statements do not depend on the kind of property, so commercial
    // offices are counted the same way as residential ones.
    runStatistics(selection);
}

void MonthlyReportWindow::runStatistics(const MonthlySelection& selection)
{
    // Switching the kind of property mid-run would cut the grid under the run.
    m_residential->setEnabled(false);
    m_commercial->setEnabled(false);
    // Nothing is written from a grid still being filled.
    m_export->setEnabled(false);
    m_wait->setSubject(QStringLiteral("统计截止日期 %1，%2 个管理处\n统计结束前不能导出Excel")
                           .arg(selection.statisticsDate.toString(Qt::ISODate))
                           .arg(selection.offices.size()));
    // The grid is filled from the worker thread, row by row, while the
    // window shows it.
    GridModel* summary = &m_summary;
    m_run->start([selection, summary](RunContext& run) { MonthlyEngine(run, selection).fill(*summary); },
        [this](const RunOutcome& outcome) { statisticsFinished(outcome); });
}

void MonthlyReportWindow::statisticsFinished(const RunOutcome& outcome)
{
    // The last rows and widths show at once, not at the next publishing.
    m_summaryView->refreshLayout();
    m_residential->setEnabled(true);
    m_commercial->setEnabled(true);
    m_export->setEnabled(true);
    if (outcome.failed)
        ErrNumberBox(outcome.number, outcome.description);
    emit statisticsEnded();
}

} // namespace fee
