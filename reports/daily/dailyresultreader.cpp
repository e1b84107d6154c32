#include "reports/daily/dailyresultreader.h"

#include "db/dbconnection.h"
#include "reports/daily/compactperiodlist.h"
#include "reports/daily/dailycelltexts.h"
#include "reports/daily/dailygrid.h"

namespace fee {

DailyResultReader::DailyResultReader(const DbResult& result)
    : m_result(result)
    , m_book(result.indexOf(QStringLiteral("入库单编号")))
    , m_number(result.indexOf(QStringLiteral("票据编号")))
    , m_payer(result.indexOf(QStringLiteral("付款人")))
    , m_address(result.indexOf(QStringLiteral("地址")))
    , m_item(result.indexOf(QStringLiteral("项目")))
    , m_summary(result.indexOf(QStringLiteral("摘要")))
    , m_amount(result.indexOf(QStringLiteral("金额")))
    , m_invoiceDate(result.indexOf(QStringLiteral("开票日期")))
    , m_issuer(result.indexOf(QStringLiteral("开票人")))
    , m_receiptDate(result.indexOf(QStringLiteral("收款日期")))
    , m_payee(result.indexOf(QStringLiteral("收款人")))
    , m_tax(result.indexOf(QStringLiteral("税额")))
    , m_method(result.indexOf(QStringLiteral("收款方式")))
    , m_remark(result.indexOf(QStringLiteral("备注")))
    , m_exchangeNumber(result.indexOf(QStringLiteral("内换票据编号")))
    , m_exchangeDate(result.indexOf(QStringLiteral("内换日期")))
{
}

QString DailyResultReader::invoiceDateText() const
{
    // The parking fragments select '' for the invoice date: an empty text here,
    // SQL Server's zero date there. Both show empty, like the households' NULL.
    const QVariant raw = m_result.value(m_invoiceDate);
    if (!raw.isValid() || (raw.metaType().id() == QMetaType::QString && raw.toString().trimmed().isEmpty()))
        return QString();
    const QDateTime value = m_result.dateTime(m_invoiceDate);
    return isZeroDate(value) ? QString() : dailyDateText(value);
}

QStringList DailyResultReader::texts(int serial) const
{
    QStringList cells;
    cells.reserve(DailyGrid::ColumnCount);
    cells << QString::number(serial) << m_result.textOrEmpty(m_book) << m_result.textOrEmpty(m_number)
          << m_result.textOrEmpty(m_payer) << m_result.textOrEmpty(m_address) << m_result.textOrEmpty(m_item)
          << CompactPeriodList(m_result.textOrEmpty(m_summary)) << dailyMoneyText(m_result.numberOrNull(m_amount))
          << dailyMoneyText(m_result.numberOrNull(m_tax));
    cells << dailyIncomeText(cells.at(DailyGrid::Amount), cells.at(DailyGrid::Tax)) << invoiceDateText()
          << m_result.textOrEmpty(m_issuer) << dailyDateText(m_result.dateTime(m_receiptDate))
          << m_result.textOrEmpty(m_payee) << m_result.textOrEmpty(m_method) << m_result.textOrEmpty(m_remark)
          << dailyDateTimeText(m_result.dateTime(m_exchangeDate)) << m_result.textOrEmpty(m_exchangeNumber);
    return cells;
}

bool DailyResultReader::needsExchangeMarking() const
{
    return !m_result.isNull(m_exchangeDate) && m_result.isNull(m_exchangeNumber);
}

QString DailyResultReader::invoiceNumber() const { return m_result.textOrEmpty(m_number); }

} // namespace fee
