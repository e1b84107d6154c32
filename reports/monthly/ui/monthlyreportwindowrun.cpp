// Starting the statistics and running them office by office.
#include "reports/monthly/ui/monthlyreportwindow.h"

#include "core/failure.h"
#include "core/messages.h"
#include "widgets/detailpanel.h"
#include "widgets/feeitemtreepanel.h"
#include "widgets/gridview.h"
#include "widgets/officelistpanel.h"
#include "widgets/waitoverlay.h"
#include "reports/monthly/monthlyselection.h"
#include "reports/shared/ui/reportrun.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionresolver.h"

#include <QApplication>
#include <QDateEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>

namespace fee {

void MonthlyReportWindow::startStatistics()
{
    // A second press while a run goes on is ignored.
    if (isRunning())
        return;

    m_reportYear = QString::number(m_statisticsDate->date().year());
    layoutSummary(m_reportYear);
    m_markedRow = 0;
    m_drillButton->hide();

    MonthlySelection selection;
    selection.offices = tickedOffices(m_offices, m_officeList->tickedFlags());
    m_feeCodes = m_feeTree->tickedCodes();
    selection.feeCodes = m_feeCodes;
    selection.statisticsDate = m_statisticsDate->date();
    selection.reportYear = m_reportYear;
    const SelectionCheck check = checkMonthlySelection(selection, m_officeList->count() > 0);
    if (check.status == SelectionCheck::Status::Refused) {
        showBox(check.message);
        if (check.field == SelectionCheck::Field::Offices)
            m_officeList->list()->setFocus();
        else if (check.field == SelectionCheck::Field::FeeItems)
            m_feeTree->tree()->setFocus();
    }
    if (!check.isOk())
        return;

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
