// Opening the window: the session, the dates, the grids' layouts and the
// lists it loads; the selection the panel stands for.
#include "reports/receipts_summary/ui/receiptssummarywindow.h"

#include "core/failure.h"
#include "core/messages.h"
#include "core/sessioninfo.h"
#include "widgets/detailpanel.h"
#include "widgets/feeitemtreepanel.h"
#include "widgets/officelistpanel.h"
#include "widgets/sessionstatusbar.h"
#include "db/dbconnection.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/selectionlists.h"
#include "reports/shared/selectionresolver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>

namespace fee {

void ReceiptsSummaryWindow::loadWindow()
{
    m_statusBar->showSession(m_session);

    const QDate today = QDate::currentDate();
    for (QDateEdit* picker : { m_receiptStart, m_receiptEnd, m_monthStart, m_monthEnd, m_yearStart, m_yearEnd }) {
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        picker->setDate(today);
    }
    m_monthStart->setDate(QDate(today.year(), today.month(), 1));
    m_yearStart->setDate(QDate(today.year(), 1, 1));
    m_monthStart->setEnabled(false);
    m_monthEnd->setEnabled(false);
    m_yearStart->setEnabled(false);
    m_yearEnd->setEnabled(false);

    layoutReceiptsSummaryGrid(m_summary);
    layoutReceiptsDetailGrid(m_detail);

    loadOfficeList();
    loadFeeItemTree();
    loadPaymentMethods();

    m_mode->clear();
    m_mode->addItems(receiptsModeNames());
    m_mode->setCurrentIndex(0);
}

void ReceiptsSummaryWindow::loadOfficeList()
{
    // A list that fails part-way keeps the offices read before the failure.
    m_offices.clear();
    try {
        loadOffices(m_connection, receiptsOfficeListStatement(), OfficeNames::AsStored,
            [this](const Office& office) { m_offices.append(office); });
    } catch (const Failure& failure) {
        ErrCodeBox(failure.number(), failure.description());
    }
    m_officeList->setOffices(m_offices);
}

void ReceiptsSummaryWindow::loadFeeItemTree()
{
    m_feeTree->clear();
    try {
        fee::loadFeeItemTree(m_connection, FeeTreeQuery::InUseByCategory,
            [this](const QString& category, const FeeItem& item, bool) {
                m_feeTree->addItem(category, item.code, item.name);
            });
    } catch (const Failure& failure) {
        ErrCodeBox(failure.number(), failure.description());
    }
    m_feeTree->finishLoading();
}

void ReceiptsSummaryWindow::loadPaymentMethods()
{
    m_paymentMethod->clear();
    m_paymentMethod->addItem(QString::fromUtf8(kChooseAll));
    try {
        m_paymentMethods = fee::loadPaymentMethods(m_connection);
    } catch (const Failure& failure) {
        m_paymentMethods.clear();
        ErrCodeBox(failure.number(), failure.description());
    }
    m_paymentMethod->addItems(m_paymentMethods);
    m_paymentMethod->setCurrentIndex(0);
}

ReceiptsSelection ReceiptsSummaryWindow::currentSelection() const
{
    ReceiptsSelection selection;
    selection.offices = tickedOffices(m_offices, m_officeList->tickedFlags());
    selection.feeCodes = m_feeTree->tickedCodes();
    selection.paymentMethods = m_paymentMethods;
    selection.chosenMethod = m_paymentMethod->currentText();
    selection.mode = static_cast<ReceiptsMode>(std::max(0, m_mode->currentIndex()));
    selection.departmentCode = m_session.DepartmentCode;
    selection.receipts = { m_receiptStart->date(), m_receiptEnd->date() };
    if (m_monthToDate->isChecked())
        selection.monthToDate = DateRange { m_monthStart->date(), m_monthEnd->date() };
    if (m_yearToDate->isChecked())
        selection.yearToDate = DateRange { m_yearStart->date(), m_yearEnd->date() };
    return selection;
}

} // namespace fee
