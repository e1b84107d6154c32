// Opening the window: the session, the dates, the lists it loads, and the
// switch between residential and commercial offices.
#include "reports/monthly/ui/monthlyreportwindow.h"

#include "core/failure.h"
#include "core/messages.h"
#include "core/sessioninfo.h"
#include "core/textformat.h"
#include "widgets/detailpanel.h"
#include "widgets/feeitemtreepanel.h"
#include "widgets/officelistpanel.h"
#include "widgets/sessionstatusbar.h"
#include "db/dbconnection.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/monthly/monthlytitle.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/reporttexts.h"
#include "reports/shared/runcontext.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>

namespace fee {

namespace {
    constexpr int kFirstYear = 1996;
    constexpr int kLastYear = 2079;
}

void MonthlyReportWindow::loadWindow()
{
    m_statusBar->showSession(m_session);

    m_statisticsDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_statisticsDate->setDate(QDate::currentDate());
    fillYearMonthLists();

    m_company->setText(QString::fromUtf8(kCompanyLabel));
    m_title->setText(monthlyReportTitle(m_commercial->isChecked()));

    m_reportYear = QString::number(QDate::currentDate().year());
    layoutSummary(m_reportYear);

    m_detail.setRows(1);
    for (int col = 0; col < m_detail.cols(); ++col)
        m_detail.setFixedAlignment(col, AlignCenter);

    loadOfficeList();
    loadFeeItemTree();
}

void MonthlyReportWindow::fillYearMonthLists()
{
    const QDate today = QDate::currentDate();
    m_yearList->clear();
    for (int year = kFirstYear; year <= kLastYear; ++year)
        m_yearList->addItem(QString::number(year));
    m_yearList->setCurrentIndex(m_yearList->findText(QString::number(today.year())));
    m_monthList->clear();
    for (int month = 1; month <= 12; ++month)
        m_monthList->addItem(QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0')));
    m_monthList->setCurrentIndex(today.month() - 1);
}

void MonthlyReportWindow::loadOfficeList()
{
    // The list keeps its entries until the new ones have been read whole.
    try {
        m_offices = loadOffices(
            m_connection, monthlyOfficeListStatement(m_commercial->isChecked()), OfficeNames::OnOneLine);
    } catch (const Failure& failure) {
        ErrCodeBox(failure.number(), failure.description());
        return;
    }
    m_officeList->setOffices(m_offices);
}

void MonthlyReportWindow::loadFeeItemTree()
{
    m_feeTree->clear();
    try {
        fee::loadFeeItemTree(
            m_connection, FeeTreeQuery::AllItems, [this](const QString& category, const FeeItem& item, bool) {
                QString text = item.code + QLatin1Char(' ') + item.name;
                if (item.endDate.isValid())
                    text += QStringLiteral("【") + formatDate(item.endDate, QStringLiteral("yyyy-mm-dd"))
                        + QStringLiteral("】");
                m_feeTree->addItem(category, item.code, text);
            });
    } catch (const Failure& failure) {
        ErrNumberBox(failure.number(), failure.description());
    }
    m_feeTree->finishLoading();
}

void MonthlyReportWindow::layoutSummary(const QString& reportYear)
{
    MonthlySelection selection;
    selection.reportYear = reportYear;
    RunContext idle(m_connection); // lays the grid out only: nothing is sent
    MonthlyEngine(idle, selection).layout(m_summary);
}

void MonthlyReportWindow::switchPropertyKind(bool commercial)
{
    m_title->setText(monthlyReportTitle(commercial));
    m_summary.setRows(monthly::kHeadingRows);
    m_markedRow = 0;
    hideDetail();
    m_drillButton->hide();
    loadOfficeList();
}

} // namespace fee
