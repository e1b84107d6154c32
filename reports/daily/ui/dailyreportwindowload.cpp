// Opening the window: the dates, the session, the grid's heading row and the
// lists it loads.
#include "reports/daily/ui/dailyreportwindow.h"

#include "core/failure.h"
#include "core/messages.h"
#include "core/sessioninfo.h"
#include "core/textformat.h"
#include "widgets/feeitemtreepanel.h"
#include "widgets/sessionstatusbar.h"
#include "db/dbconnection.h"
#include "reports/daily/dailygrid.h"
#include "reports/daily/dailypayees.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/selectionlists.h"

#include <QComboBox>
#include <QDateEdit>

namespace fee {

void DailyReportWindow::loadWindow()
{
    const QString dateFormat = QStringLiteral("yyyy-MM-dd");
    for (QDateEdit* picker : { m_startDate, m_endDate }) {
        picker->setDisplayFormat(dateFormat);
        picker->setDate(QDate::currentDate());
    }
    m_statusBar->showSession(m_session, QStringLiteral(" "));
    m_highlightedRow = 0;
    DailyGrid::layout(m_grid);

    // A list that cannot be read is reported once; the lists before it keep
    // what they got, those after it stay empty, and the window opens.
    try {
        loadOfficeList();
        loadFeeItemTree();
        loadPaymentMethods();
        loadPayees();
    } catch (const Failure& failure) {
        ErrPlainBox(failure.number(), failure.description(), QString());
    }

    m_scopeList->clear();
    m_scopeList->addItems(dailyScopeEntries());
    m_scopeList->setCurrentIndex(0);
    for (QDateEdit* picker : { m_startDate, m_endDate })
        picker->setDate(QDate::currentDate());
}

void DailyReportWindow::loadOfficeList()
{
    m_officeList->clear();
    // No office is chosen until the user picks one.
    auto noneChosen = qScopeGuard([this] { m_officeList->setCurrentIndex(-1); });
    loadOffices(m_connection, dailyOfficeListStatement(), OfficeNames::AsStored,
        [this](const Office& office) { m_officeList->addItem(officeEntryText(office)); });
}

void DailyReportWindow::loadFeeItemTree()
{
    m_feeTree->clear();
    auto shown = qScopeGuard([this] { m_feeTree->finishLoading(); });
    fee::loadFeeItemTree(m_connection, FeeTreeQuery::AllByCategory,
        [this](const QString& category, const FeeItem& item, bool) {
            QString text = item.name;
            // An item no longer in use shows the date it ended.
            if (item.endDate.isValid())
                text += QStringLiteral("【") + formatDate(item.endDate, QStringLiteral("yyyy-mm-dd"))
                    + QStringLiteral("】");
            m_feeTree->addItem(category, item.code, text);
        });
}

void DailyReportWindow::loadPaymentMethods()
{
    m_methodList->clear();
    m_methodList->addItem(QString::fromUtf8(kChooseAll));
    m_methodList->setCurrentIndex(0);
    m_methodList->addItems(fee::loadPaymentMethods(m_connection));
}

void DailyReportWindow::loadPayees()
{
    m_payeeList->clear();
    m_payeeList->addItem(QString::fromUtf8(kChooseAll));
    m_payeeList->setCurrentIndex(0);
    m_payeeList->addItems(loadDailyPayees(m_connection, m_session.DepartmentCode));
}

} // namespace fee
