// Writing the summary grid and the detail grid to workbooks.
#include "reports/monthly/ui/monthlyreportwindow.h"

#include "core/failure.h"
#include "core/messages.h"
#include "core/textformat.h"
#include "widgets/detailpanel.h"
#include "widgets/savefilechooser.h"
#include "workbook/workbooksavepath.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/monthly/monthlyexport.h"
#include "reports/monthly/monthlytitle.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace fee {

namespace {
    const char* const kWorkbookFilter = "电子表 (*.xls *.xlsx)";

    void showCancelled() { msgBox(QStringLiteral("您取消了导出操作！")); }
}

void MonthlyReportWindow::exportSummary()
{
    if (isRunning() || m_summary.rows() <= monthly::kHeadingRows)
        return;

    m_exit->hide();
    m_export->hide();
    const QString title = monthlyReportTitle(m_commercial->isChecked());
    const QString chosen = chooseSaveFile(this,
        title + QLatin1Char('_') + formatDate(m_statisticsDate->date(), QStringLiteral("yyyymmdd")),
        QString::fromUtf8(kWorkbookFilter));
    if (chosen.isEmpty()) {
        showCancelled();
        m_exit->show();
        m_export->show();
        return;
    }

    m_exportProgress->setRange(0, m_summary.rows() - 1);
    m_exportProgress->setValue(0);
    m_exportProgress->show();
    m_exportWait->show();
    m_exportWait->raise();
    QCoreApplication::processEvents();

    SummaryWorkbookInfo info;
    info.title = title;
    info.company = m_company->text();
    info.statisticsDate = m_statisticsDate->date();
    bool written = false;
    try {
        writeMonthlySummaryWorkbook(
            m_summary, info, savePathFromChosenName(chosen), [this](int row) { m_exportProgress->setValue(row); });
        written = true;
    } catch (const Failure& failure) {
        m_exportWait->hide();
        ErrNumberBox(failure.number(), failure.description());
    }
    m_exportWait->hide();
    if (written)
        msgBox(title + QStringLiteral("导出成功！"));
    m_exportProgress->hide();
    m_exit->show();
    m_export->show();
}

void MonthlyReportWindow::exportDetail()
{
    if (m_detail.rows() <= 1)
        return;

    m_detailPanel->exportButton()->setEnabled(false);
    const QString caption = m_detailPanel->caption()->text();
    const QString chosen = chooseSaveFile(this,
        caption + QLatin1Char('_') + formatDate(m_statisticsDate->date(), QStringLiteral("yyyymmdd")),
        QString::fromUtf8(kWorkbookFilter));
    if (chosen.isEmpty()) {
        showCancelled();
        m_detailPanel->exportButton()->setEnabled(true);
        return;
    }

    DetailWorkbookInfo info;
    info.caption = caption;
    info.company = m_company->text();
    info.year = m_yearList->currentText();
    info.month = m_monthList->currentText();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        writeMonthlyDetailWorkbook(m_detail, info, savePathFromChosenName(chosen));
        QApplication::restoreOverrideCursor();
        msgBox(QStringLiteral("明细表导出成功!"));
    } catch (const Failure& failure) {
        QApplication::restoreOverrideCursor();
        ErrCodeBox(failure.number(), failure.description());
    }
    m_detailPanel->exportButton()->setEnabled(true);
}

} // namespace fee
