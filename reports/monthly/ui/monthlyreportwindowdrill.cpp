// The drill-down from a figure of the summary grid into its ledger rows.
#include "reports/monthly/ui/monthlyreportwindow.h"

#include "common/failure.h"
#include "common/messages.h"
#include "common/widgets/gridview.h"
#include "db/dbconnection.h"
#include "reports/monthly/ui/draggableframe.h"

#include <QApplication>
#include <QDateEdit>
#include <QItemSelectionModel>
#include <QLabel>
#include <QToolButton>

namespace fee {

namespace {
    constexpr int kHeadingRows = 2;
    constexpr int kOfficeCodeCol = 38;
    constexpr int kButtonWidth = 14; // 200 twips
    const QColor kMarkedRowColor(208, 255, 253);
}

void MonthlyReportWindow::msFlexGrid1Click(int row, int col)
{
    if (m_running)
        return;
    m_btnB->hide();
    m_picture7->hide();
    if (row < kHeadingRows || row >= m_summary.rows())
        return;

    if (m_summary.text(row, 1) != QStringLiteral("合计") && MonthlyEngine::isDrillColumn(col)) {
        m_btnB->setProperty("Tag", QString::number(col));
        const QRect cell = m_msFlexGrid1->cellRect(row, col);
        const QPoint topLeft = m_msFlexGrid1->mapTo(m_picture3, cell.topLeft());
        m_btnB->setGeometry(topLeft.x(), topLeft.y(), kButtonWidth, cell.height());
        m_btnB->show();
        m_btnB->raise();
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

void MonthlyReportWindow::btnBClick()
{
    if (m_running || m_markedRow < kHeadingRows || m_markedRow >= m_summary.rows())
        return;
    const int col = m_btnB->property("Tag").toString().toInt();
    QString heading = m_summary.text(1, col);
    heading.remove(QStringLiteral("\r\n"));
    heading.remove(QLatin1Char('\n'));

    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_label4->setText(
        QStringLiteral("【") + m_summary.text(m_markedRow, 1) + QLatin1Char(' ') + heading + QStringLiteral("】明细"));

    // The detail follows the date picker as it is now; the prepaid details use
    // the report year of the last run.
    MonthlySelection selection;
    selection.feeCodes = m_feeCodes;
    selection.statisticsDate = m_dtPicker1->date();
    selection.reportYear = m_reportYear;
    try {
        MonthlyEngine engine(DbConnection::shared());
        engine.fillDetail(selection, col, m_summary.text(m_markedRow, kOfficeCodeCol), m_detail);
    } catch (const Failure& failure) {
        QApplication::restoreOverrideCursor();
        ErrNumberBox(failure.number(), failure.description());
        return;
    }
    QApplication::restoreOverrideCursor();
    m_picture7->show();
    m_picture7->raise();
}

void MonthlyReportWindow::msFlexGrid2Click(int row, int)
{
    QAbstractItemModel* model = m_msFlexGrid2->model();
    if (row < 0 || row >= model->rowCount())
        return;
    m_msFlexGrid2->selectionModel()->select(
        QItemSelection(model->index(row, 0), model->index(row, model->columnCount() - 1)),
        QItemSelectionModel::ClearAndSelect);
}

} // namespace fee
