// Starting the statistics and running them office by office.
#include "reports/monthly/ui/monthlyreportwindow.h"

#include "common/failure.h"
#include "common/messages.h"
#include "db/dbconnection.h"

#include <QApplication>
#include <QDateEdit>
#include <QFrame>
#include <QListWidget>
#include <QRadioButton>
#include <QToolButton>

namespace fee {

void MonthlyReportWindow::command3Click()
{
    // Events run between offices, so the button can be pressed again mid-run.
    if (m_running)
        return;

    m_reportYear = QString::number(m_dtPicker1->date().year());
    MonthlyEngine::layoutSummaryGrid(m_summary, m_reportYear);
    m_summary.setRows(2);
    m_markedRow = 0;
    m_btnB->hide();

    if (m_list1->count() == 0) {
        msgBox(QStringLiteral("管理处列表为空,请检查登录者身份!"));
        return;
    }
    const QVector<Office> offices = tickedOffices();
    if (offices.isEmpty()) {
        msgBox(QStringLiteral("请勾选需要统计的管理处!"));
        return;
    }
    m_feeCodes = tickedFeeCodes();
    if (m_feeCodes.isEmpty()) {
        msgBox(QStringLiteral("请选择收费项目！"));
        return;
    }

    // The statements do not depend on the kind of property, so commercial
    // offices are counted the same way as residential ones.
    runStatistics(offices);
    closeAfterRun();
}

void MonthlyReportWindow::runStatistics(const QVector<Office>& offices)
{
    m_running = true;
    m_stopRequested = false;
    // Switching the kind of property mid-run would cut the grid under the run.
    m_option1->setEnabled(false);
    m_option2->setEnabled(false);
    m_picture5->show();
    m_picture5->raise();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();

    MonthlySelection selection;
    selection.offices = offices;
    selection.feeCodes = m_feeCodes;
    selection.statisticsDate = m_dtPicker1->date();
    selection.reportYear = m_reportYear;

    bool failed = false;
    int failureNumber = 0;
    QString failureText;
    try {
        MonthlyEngine engine(DbConnection::shared());
        engine.run(
            selection, m_summary,
            [this](int, int) {
                QCoreApplication::processEvents();
                return !m_stopRequested;
            },
            [this] { return !m_stopRequested; });
    } catch (const Failure& failure) {
        failed = true;
        failureNumber = failure.number();
        failureText = failure.description();
    }

    m_picture5->hide();
    QApplication::restoreOverrideCursor();
    m_option1->setEnabled(true);
    m_option2->setEnabled(true);
    m_running = false;
    if (failed)
        ErrNumberBox(failureNumber, failureText);
}

} // namespace fee
