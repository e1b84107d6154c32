// Writing the summary grid and the detail grid to workbooks.
#include "reports/monthly/ui/monthlyreportwindow.h"

#include "common/failure.h"
#include "common/messages.h"
#include "common/textformat.h"
#include "reports/monthly/monthlyexport.h"
#include "reports/monthly/ui/savefilechooser.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace fee {

namespace {
    const char* const kWorkbookFilter = "电子表 (*.xls *.xlsx)";

    void showCancelled() { msgBox(QStringLiteral("您取消了导出操作！")); }
}

void MonthlyReportWindow::command2Click()
{
    if (m_running || m_summary.rows() <= 2)
        return;

    m_command1->hide();
    m_command2->hide();
    const QString title = m_label19->text();
    const QString chosen
        = chooseSaveFile(this, title + QLatin1Char('_') + formatDate(m_dtPicker1->date(), QStringLiteral("yyyymmdd")),
            QString::fromUtf8(kWorkbookFilter));
    if (chosen.isEmpty()) {
        showCancelled();
        m_command1->show();
        m_command2->show();
        return;
    }

    m_progressBar1->setRange(0, m_summary.rows() - 1);
    m_progressBar1->setValue(0);
    m_progressBar1->show();
    m_label2->show();
    m_label2->raise();
    QCoreApplication::processEvents();

    SummaryWorkbookInfo info;
    info.title = title;
    info.company = m_label1.value(0)->text();
    info.statisticsDate = m_dtPicker1->date();
    bool written = false;
    try {
        ExportSummaryWorkbook(
            m_summary, info, savePathFromChosenName(chosen), [this](int row) { m_progressBar1->setValue(row); });
        written = true;
    } catch (const Failure& failure) {
        m_label2->hide();
        ErrNumberBox(failure.number(), failure.description());
    }
    m_label2->hide();
    if (written)
        msgBox(title + QStringLiteral("导出成功！"));
    m_progressBar1->hide();
    m_command1->show();
    m_command2->show();
}

void MonthlyReportWindow::command4Click()
{
    if (m_detail.rows() <= 1)
        return;

    m_command4->setEnabled(false);
    const QString caption = m_label4->text();
    const QString chosen
        = chooseSaveFile(this, caption + QLatin1Char('_') + formatDate(m_dtPicker1->date(), QStringLiteral("yyyymmdd")),
            QString::fromUtf8(kWorkbookFilter));
    if (chosen.isEmpty()) {
        showCancelled();
        m_command4->setEnabled(true);
        return;
    }

    DetailWorkbookInfo info;
    info.caption = caption;
    info.company = m_label1.value(0)->text();
    info.year = m_combo1->currentText();
    info.month = m_combo2->currentText();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        ExportDetailWorkbook(m_detail, info, savePathFromChosenName(chosen));
        QApplication::restoreOverrideCursor();
        msgBox(QStringLiteral("明细表导出成功!"));
    } catch (const Failure& failure) {
        QApplication::restoreOverrideCursor();
        ErrCodeBox(failure.number(), failure.description());
    }
    m_command4->setEnabled(true);
}

} // namespace fee
