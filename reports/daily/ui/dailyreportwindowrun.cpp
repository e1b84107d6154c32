// The buttons: the statistics run on a worker thread, printing, the export
// dialog; and the row a click highlights.
#include "reports/daily/ui/dailyreportwindow.h"

#include "core/failure.h"
#include "core/messages.h"
#include "core/officeentry.h"
#include "core/sessioninfo.h"
#include "widgets/feeitemtreepanel.h"
#include "widgets/frmtoexcel.h"
#include "widgets/gridprinter.h"
#include "widgets/gridview.h"
#include "widgets/sessionstatusbar.h"
#include "widgets/waitoverlay.h"
#include "reports/daily/dailyengine.h"
#include "reports/daily/dailygrid.h"
#include "reports/daily/dailyoutputtexts.h"
#include "reports/shared/ui/reportrun.h"
#include "reports/shared/runcontext.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QPushButton>

namespace fee {

DailySelection DailyReportWindow::currentSelection() const
{
    DailySelection selection;
    if (m_officeList->currentIndex() >= 0 && !m_officeList->currentText().isEmpty())
        selection.office = officeFromEntryText(m_officeList->currentText());
    selection.start = m_startDate->date();
    selection.end = m_endDate->date();
    selection.feeCodes = m_feeTree->tickedCodes();
    for (int i = 1; i < m_methodList->count(); ++i)
        selection.paymentMethods << m_methodList->itemText(i);
    if (m_methodList->currentIndex() >= 0)
        selection.paymentMethod = m_methodList->currentText();
    if (m_payeeList->currentIndex() > 0)
        selection.payee = m_payeeList->currentText();
    selection.scope = static_cast<DailyScope>(std::max(0, m_scopeList->currentIndex()));
    selection.departmentCode = m_session.DepartmentCode;
    return selection;
}

void DailyReportWindow::commandClicked(Command command)
{
    try {
        switch (command) {
        case Run:
            startStatistics();
            break;
        case ExportToExcel:
            exportResult();
            break;
        case Exit:
            closeWindow();
            break;
        case Print:
            printResult();
            break;
        }
    } catch (const Failure& failure) {
        ErrPlainBox(failure.number(), failure.description(), QString());
    }
}

void DailyReportWindow::startStatistics()
{
    // A second press while a run goes on is ignored.
    if (isRunning())
        return;
    const DailySelection selection = currentSelection();
    const SelectionCheck check = checkDailySelection(selection);
    if (check.status == SelectionCheck::Status::Silent)
        return;
    if (check.status == SelectionCheck::Status::Refused) {
        showBox(check.message);
        return;
    }
    // An empty method list fails here, before the wait panel shows.
    DailyEngine::statementInput(selection);

    // The last list goes at once: whatever the run leaves (all of the new
    // list, or part of it when cancelled) is never mixed up with it.
    m_grid.setRows(m_grid.fixedRows());
    m_incomplete = false;
    setOutputsEnabled(false);
    m_statusBar->setMessage(QStringLiteral("请稍候，正在进行统计..."));
    m_wait->setSubject(QStringLiteral("%1，收款日期 %2 至 %3\n统计结束前不能打印或输出EXCEL")
                           .arg(m_officeList->currentText().simplified(), selection.start.toString(Qt::ISODate),
                               selection.end.toString(Qt::ISODate)));
    // The grid is filled from the worker thread, row by row, while the
    // window shows it.
    GridModel* grid = &m_grid;
    m_run->start([selection, grid](RunContext& run) { DailyEngine(run, selection).fill(*grid); },
        [this](const RunOutcome& outcome) { statisticsFinished(outcome); });
}

void DailyReportWindow::statisticsFinished(const RunOutcome& outcome)
{
    // The last rows and widths show at once, not at the next publishing.
    m_gridView->refreshLayout();
    // A cancelled run keeps its rows and shows no box, but the list is
    // not taken for a whole one: the status bar says so, and printing or
    // writing it asks first.
    // A cancel pressed as the last row came in leaves a whole list.
    const int last = m_grid.rows() - 1;
    const bool totalled = last >= 1 && m_grid.rowKind(last) == RowKind::Total;
    m_incomplete = (outcome.cancelled || outcome.failed) && !totalled;
    if (outcome.cancelled && m_incomplete)
        m_statusBar->setMessage(QStringLiteral("统计已取消，列表不完整（没有合计行）"));
    else if (m_incomplete)
        m_statusBar->setMessage(QStringLiteral("统计出错，列表不完整（没有合计行）"));
    else
        m_statusBar->setMessage(QStringLiteral("统计结束！共 %1 行").arg(std::max(0, m_grid.rows() - 2)));
    setOutputsEnabled(true);
    if (outcome.failed)
        ErrPlainBox(outcome.number, outcome.description, QString());
    emit statisticsEnded();
}

void DailyReportWindow::setOutputsEnabled(bool enabled)
{
    m_commands[ExportToExcel]->setEnabled(enabled);
    m_commands[Print]->setEnabled(enabled);
    if (m_exportDialog) {
        m_exportDialog->setSourceBusy(!enabled);
        m_exportDialog->setOutputQuestion(enabled && m_incomplete ? incompleteQuestion(QStringLiteral("输出")) : QString());
    }
}

QString DailyReportWindow::incompleteQuestion(const QString& action) const
{
    return QStringLiteral("这份收款日报表没有统计完，列表不完整（没有合计行）。\n仍要%1吗？").arg(action);
}

bool DailyReportWindow::outputIncompleteList(const QString& action)
{
    if (!m_incomplete)
        return true;
    return showBox({ incompleteQuestion(action), QString::fromUtf8(kSystemTitle), BoxIcon::Question,
               BoxButtons::YesNo })
        == BoxAnswer::Yes;
}

void DailyReportWindow::printResult()
{
    // The grid belongs to the run while one goes on.
    if (isRunning() || !outputIncompleteList(QStringLiteral("打印")))
        return;
    const DailyOutputTexts texts
        = dailyPrintTexts(dailyOfficeName(m_officeList->currentText()), m_startDate->date(), m_endDate->date());
    PrintGridOptions options;
    options.title = texts.title;
    options.dateLine = texts.dateLine;
    options.signature = false;
    options.skip = 0;
    printGrid(m_grid, options, this);
}

void DailyReportWindow::exportResult()
{
    if (isRunning())
        return;
    const QString officeEntry = m_officeList->currentText();
    if (officeEntry.isEmpty() || !outputIncompleteList(QStringLiteral("输出")))
        return;
    const DailyOutputTexts texts
        = dailyExportTexts(dailyOfficeName(officeEntry), m_startDate->date(), m_endDate->date());
    // One dialog at a time; it deletes itself when closed.
    if (!m_exportDialog) {
        m_exportDialog = new FrmToExcel(window());
        // The dialog closes once it has written: the window says where to.
        connect(m_exportDialog, &FrmToExcel::workbookWritten, this, [this](const QString& file, const QString& sheet) {
            m_statusBar->setMessage(
                QStringLiteral("已输出到 %1（工作表 %2）").arg(QDir::toNativeSeparators(file), sheet));
        });
    }
    // Asked already before the dialog opened.
    m_exportDialog->setOutputQuestion(QString());
    m_exportDialog->setSourceBusy(isRunning());
    m_exportDialog->setTag(texts.dateLine);
    m_exportDialog->Config(m_grid, QString::fromUtf8(kDailySheetName), texts.title);
    m_exportDialog->show();
    m_exportDialog->raise();
    m_exportDialog->activateWindow();
}

void DailyReportWindow::gridClicked(int row)
{
    if (isRunning())
        return;
    m_highlightedRow = DailyGrid::highlightRow(m_grid, m_highlightedRow, row);
}

} // namespace fee
